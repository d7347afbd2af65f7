// The sound of the POSIX console, as the terminal's ending needs it.
#pragma once

// Closes what a run of sounds holds open on the sound server; called before
// the game waits for a key, so nothing is open at a prompt.
void endSoundRun();

// Lets go of the sound server or device; called as the program ends, after
// the last sound has played to its end. Never waits on the server.
void closeSound();
