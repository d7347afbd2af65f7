// The opening screens.
#pragma once

// The title, the offer of instructions, the player's name and the opening sounds.
void showTitle();

// The two pages of rules; returns when the player chooses to go back to the
// game, leaving a cleared screen with the game's name alone on row 9.
void showInstructions();
