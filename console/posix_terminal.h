// What the POSIX console's parts share: the terminal's modes and the ways the
// program ends. Only console/ includes this.
#pragma once

// Ctrl-C reaches a key read as code 3; outside key reads it ends the program.
void setKeyReadMode(bool reading);

// Ends the process as this signal would, after restoring the terminal.
[[noreturn]] void endBySignal(int signalNumber);
