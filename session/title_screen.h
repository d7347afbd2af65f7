#pragma once

// The title, the offer of instructions, the player's name and the opening sounds.
void showTitle();
