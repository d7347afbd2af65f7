// The screen of the POSIX console: VT100 cursor moves and clears, the same on
// every terminal, so nothing depends on TERM. Everything written lands in a
// copy of the 80x25 screen first, so the screen can be drawn again whole after
// a stop or a resize; only printable characters and the console's own moves
// ever reach the terminal, never a control byte from the text.
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <streambuf>
#include <string>

#include "console/console.h"
#include "console/posix_console.h"
#include "console/text_width.h"

namespace {

constexpr char blankCell[] = " ";

std::string cursorMove(int column, int row)
{
    return "\x1b[" + std::to_string(row) + ';' + std::to_string(column) + 'H';
}

void blankRows(ScreenCopy& screen)
{
    for (auto& row : screen.cells) row.fill(blankCell);
}

void newLine(ScreenCopy& screen)
{
    screen.column = 1;
    if (screen.row < screenRows) {
        ++screen.row;
        return;
    }
    for (int row = 1; row < screenRows; ++row) screen.cells[row - 1] = screen.cells[row];
    screen.cells[screenRows - 1].fill(blankCell);
}

// Overwriting either half of a wide character blanks the other half, as a
// terminal does.
void breakWideCharacter(ScreenCopy& screen, int column)
{
    auto& row = screen.cells[screen.row - 1];
    const auto at = static_cast<std::size_t>(column - 1);
    if (row[at].empty() && at > 0) row[at - 1].assign(1, ' ');
    if (at + 1 < row.size() && row[at + 1].empty()) row[at + 1].assign(1, ' ');
}

// A combining mark joins the character before the cursor.
void joinPreviousCell(PosixConsole& console, const std::string& mark)
{
    ScreenCopy& screen = console.screen;
    auto& row = screen.cells[screen.row - 1];
    auto at = static_cast<std::size_t>(screen.column - 1);
    while (at > 0 && row[at - 1].empty()) --at;
    if (at == 0) return;
    row[at - 1] += mark;
    console.output += mark;
}

// One whole character: it goes to the next row first when it does not fit,
// explicitly, so no terminal's own wrapping rules matter.
void putCharacter(PosixConsole& console, const std::string& character)
{
    const int cells = cellsOf(decodeUtf8(character));
    if (cells == notPrinted) return;
    if (cells == 0) return joinPreviousCell(console, character);
    ScreenCopy& screen = console.screen;
    if (screen.column + cells - 1 > screenColumns) {
        newLine(screen);
        console.output += "\r\n";
    }
    for (int cell = 0; cell < cells; ++cell) breakWideCharacter(screen, screen.column + cell);
    auto& row = screen.cells[screen.row - 1];
    row[static_cast<std::size_t>(screen.column - 1)] = character;
    if (cells == 2) row[static_cast<std::size_t>(screen.column)].clear();
    screen.column += cells;
    console.output += character;
}

void putControl(PosixConsole& console, char control)
{
    ScreenCopy& screen = console.screen;
    switch (control) {
    case '\n':
        newLine(screen);
        console.output += "\r\n";
        return;
    case '\r':
        screen.column = 1;
        console.output += '\r';
        return;
    case '\b':
        if (screen.column > 1) --screen.column;
        console.output += cursorMove(screen.column, screen.row);  // the same on every terminal
        return;
    default:
        return;  // no other control reaches the terminal
    }
}

void putByte(PosixConsole& console, unsigned char byte)
{
    ScreenCopy& screen = console.screen;
    if (screen.continuationLeft > 0 && isUtf8Continuation(byte)) {
        screen.partial.push_back(static_cast<char>(byte));
        if (--screen.continuationLeft == 0) putCharacter(console, screen.partial);
        return;
    }
    screen.partial.clear();  // a broken character is dropped whole
    screen.continuationLeft = 0;
    const int length = utf8Length(byte);
    if (length == 1 && (byte < 0x20 || byte == 0x7F)) return putControl(console, static_cast<char>(byte));
    if (length == 1) return putCharacter(console, std::string(1, static_cast<char>(byte)));
    if (length == 0) return;
    screen.partial.assign(1, static_cast<char>(byte));
    screen.continuationLeft = length - 1;
}

struct ScreenStream : std::streambuf {
    int overflow(int character) override
    {
        if (character != traits_type::eof()) putByte(posixConsole(), static_cast<unsigned char>(character));
        return character;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        for (std::streamsize i = 0; i < count; ++i) putByte(posixConsole(), static_cast<unsigned char>(text[i]));
        return count;
    }
    int sync() override
    {
        flushScreen();
        return 0;
    }
};

// Never destroyed: std::cout may still flush into it while the program exits.
ScreenStream& screenStream()
{
    static ScreenStream* stream = new ScreenStream;
    return *stream;
}

int rowBelowText(const ScreenCopy& screen)
{
    for (int row = screenRows; row >= 1; --row) {
        for (const std::string& cell : screen.cells[row - 1]) {
            if (!cell.empty() && cell != blankCell) return row + 1;
        }
    }
    return 1;
}

std::string rowText(const std::array<std::string, screenColumns>& row)
{
    std::string text;
    for (const std::string& cell : row) text += cell;
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// Puts the cursor back where the game left it; at the end of a row, by
// writing that row's last character again, so the next one still wraps.
std::string cursorRestore(const ScreenCopy& screen)
{
    if (screen.column <= screenColumns) return cursorMove(screen.column, screen.row);
    const auto& row = screen.cells[screen.row - 1];
    const int last = row[screenColumns - 1].empty() ? screenColumns - 1 : screenColumns;
    return cursorMove(last, screen.row) + row[static_cast<std::size_t>(last - 1)];
}

}  // namespace

void startScreenCopy()
{
    blankRows(posixConsole().screen);
    std::cout.rdbuf(&screenStream());
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
    if (console.screenShown) writeToTerminal(console.output.data(), console.output.size());
    console.output.clear();
}

void repaintScreen()
{
    PosixConsole& console = posixConsole();
    console.output.clear();  // the copy holds it already
    if (!console.screenShown) return;
    std::string drawing = "\x1b[0m\x1b[2J";
    for (int row = 1; row <= screenRows; ++row) {
        std::string text = rowText(console.screen.cells[row - 1]);
        if (!text.empty()) drawing += cursorMove(1, row) + text;
    }
    drawing += cursorRestore(console.screen);
    writeToTerminal(drawing.data(), drawing.size());
}

void setCursor(int column, int row)
{
    // A position off the screen is refused, as the Windows console does.
    if (column < 1 || column > screenColumns || row < 1 || row > screenRows) return;
    PosixConsole& console = posixConsole();
    console.screen.column = column;
    console.screen.row = row;
    console.output += cursorMove(column, row);
}

void clearScreen()
{
    PosixConsole& console = posixConsole();
    blankRows(console.screen);
    console.screen.column = 1;
    console.screen.row = 1;
    console.output += "\x1b[2J\x1b[H";
}
