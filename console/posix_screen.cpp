// The screen of the POSIX console: everything written lands in the screen
// model first, which says what to send the terminal, so the screen can be
// drawn again whole after a stop or a resize. What one write holds is what a
// screen reader takes as one change: the text before a blanked row or a
// cleared screen goes out on its own, so a reader does not hear it together
// with the rows that are about to change under it.
#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "console/console.h"
#include "console/posix_console.h"

void startScreenModel()
{
    ScreenModel& screen = posixConsole().screen;
    blankScreen(screen);
    screen.output.clear();  // the terminal is erased only by the game's own clearScreen
    screen.cursorDue = false;
    std::cout.rdbuf(&screenStream(screen, flushScreen));
}

void writeToTerminal(const char* bytes, std::size_t count)
{
    while (count > 0) {
        ssize_t written = write(STDOUT_FILENO, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // a terminal gone takes nothing more
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
}

void flushScreen()
{
    PosixConsole& console = posixConsole();
    console.events.rowBelowScreen = rowBelowText(console.screen);
    const std::string bytes = takeOutput(console.screen);
    if (console.screenShown) writeToTerminal(bytes.data(), bytes.size());
}

void repaintScreen()
{
    PosixConsole& console = posixConsole();
    takeOutput(console.screen);  // the model holds it already
    if (!console.screenShown) return;
    const std::string drawing = drawAgain(console.screen);
    writeToTerminal(drawing.data(), drawing.size());
}

void setCursor(int column, int row)
{
    moveCursor(posixConsole().screen, column, row);  // a position off the screen is refused, as on Windows
}

void clearLine()
{
    flushScreen();
    blankCells(posixConsole().screen, clearedColumns);
}

void clearScreen()
{
    flushScreen();
    blankScreen(posixConsole().screen);
}
