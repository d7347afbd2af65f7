// The screen of the POSIX console: VT100 cursor moves and clears, the same on
// every terminal, so nothing depends on TERM.
#include <iostream>
#include <string>

#include "console/console.h"

void setCursor(int column, int row)
{
    // A position off the screen is refused, as the Windows console does.
    if (column < 1 || column > screenColumns || row < 1 || row > screenRows) return;
    std::cout << "\x1b[" << row << ';' << column << 'H';
}

void clearScreen() { std::cout << "\x1b[2J\x1b[H"; }
