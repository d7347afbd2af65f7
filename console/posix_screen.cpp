// The screen of the POSIX console: everything written lands in the screen
// model first, which says what to send the terminal, so the screen can be
// drawn again whole after a stop or a resize.
//
// A screen reader on a graphical terminal takes all that changed between two
// of the terminal's updates as one change, and reads every row from its first
// change to its last. So a blanked row or a cleared screen reaches the
// terminal a moment apart from the text before and after it; the next pauses
// are that much shorter, so the game keeps its timing.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <iostream>

#include "console/console.h"
#include "console/posix_console.h"
#include "console/posix_keyboard.h"

namespace {

// The bytes due go to the terminal, and a signal's restore from now on puts
// the cursor under them; false when nothing went out.
bool sendDueOutput(PosixConsole& console, bool withCursor)
{
    const std::string bytes = takeOutput(console.screen, withCursor);
    if (!console.screenShown || bytes.empty()) return false;
    console.events.rowBelowScreen = rowBelowText(console.screen);
    writeToTerminal(bytes.data(), bytes.size());
    return true;
}

constexpr std::chrono::milliseconds updateApart{40};

// What is due goes out, and has the terminal to itself for a moment; the
// cursor goes with the change that follows.
void flushApart()
{
    PosixConsole& console = posixConsole();
    if (!sendDueOutput(console, false)) return;
    const SteadyTime start = std::chrono::steady_clock::now();
    sleepTakingKeys(start + updateApart);
    countLateness(console.pace, start, console.pace.behind + (std::chrono::steady_clock::now() - start));
}

}  // namespace

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
    sendDueOutput(posixConsole(), true);
}

void repaintScreen()
{
    PosixConsole& console = posixConsole();
    takeOutput(console.screen);  // the model holds it already
    if (!console.screenShown) return;
    console.events.rowBelowScreen = rowBelowText(console.screen);
    const std::string drawing = drawAgain(console.screen);
    writeToTerminal(drawing.data(), drawing.size());
}

void setCursor(int column, int row)
{
    moveCursor(posixConsole().screen, column, row);  // a position off the screen is refused, as on Windows
}

void clearLine()
{
    flushApart();
    blankCells(posixConsole().screen, clearedColumns);
    flushApart();
}

void clearScreen()
{
    flushApart();
    blankScreen(posixConsole().screen);
    flushApart();
}
