// The sound of the POSIX console, as the terminal's ending needs it.
#pragma once

// Lets go of the sound server or device; called as the program ends, after
// the last sound has played to its end. Never waits on the server.
void closeSound();
