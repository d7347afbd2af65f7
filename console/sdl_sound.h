// The sound device of the POSIX console, through SDL2.
#pragma once

// Opens the one device of the run; with no sound card, a silent device that
// still plays in real time.
void openSound();

void closeSound();
