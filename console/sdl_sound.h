// The sound device of the POSIX console, through SDL2.
#pragma once

// Opens the one device of the run, unless it is open; with no sound card, a
// silent device that still plays in real time. The first sound opens it,
// so the title is drawn before the sound system is probed.
void openSound();

void closeSound();
