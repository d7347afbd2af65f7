#pragma once

// The two pages of rules; returns when the player chooses to go back to the
// game, leaving a cleared screen with the game's name alone on row 9.
void showInstructions();
