#include "console/console_double.h"

#include <iostream>
#include <streambuf>

#include "console/console.h"
#include "console/line_editor.h"
#include "console/text_width.h"

namespace {

TestConsole theConsole;

void scrollUp(TestConsole& console)
{
    console.cells.erase(console.cells.begin());
    console.cells.push_back(std::string(screenColumns, ' '));
    ++console.scrolls;
}

void newLine(TestConsole& console)
{
    console.column = 1;
    if (console.row == screenRows) {
        scrollUp(console);
    } else {
        ++console.row;
    }
}

// A whole UTF-8 character takes the cells a terminal gives it (two for a
// wide one, none for a combining mark, which joins the cell before); a cell
// keeps only the character's first byte, and a space stands in its right half.
void putWideCharacter(TestConsole& console, const std::string& character)
{
    const int cells = cellsOf(decodeUtf8(character));
    if (cells <= 0) return;
    if (console.column + cells - 1 > screenColumns) newLine(console);
    std::string& row = console.cells[console.row - 1];
    row[console.column - 1] = character[0];
    if (cells == 2) row[console.column] = ' ';
    console.column += cells;
}

// Writes one character the way the Windows console does: a line break goes
// to column 1 of the next row, writing past column 80 wraps, and anything
// past the last row scrolls the screen.
void putCharacter(TestConsole& console, char character)
{
    const auto byte = static_cast<unsigned char>(character);
    std::string& soFar = console.characterSoFar;
    if (!soFar.empty() && isUtf8Continuation(byte)) {
        soFar.push_back(character);
        if (soFar.size() == static_cast<std::size_t>(utf8Length(static_cast<unsigned char>(soFar[0])))) {
            putWideCharacter(console, soFar);
            soFar.clear();
        }
        return;
    }
    soFar.clear();  // a broken character is dropped
    if (byte >= 0x80) {
        if (utf8Length(byte) > 1) soFar.assign(1, character);
        return;
    }
    switch (character) {
    case '\n':
        newLine(console);
        return;
    case '\r':
        console.column = 1;
        return;
    case '\b':
        if (console.column > 1) --console.column;
        return;
    default:
        if (static_cast<unsigned char>(character) < 0x20 || character == 0x7F) return;  // dropped, as on a terminal
        break;
    }
    if (console.column > screenColumns) newLine(console);
    console.cells[console.row - 1][console.column - 1] = character;
    ++console.column;
}

struct ScreenBuffer : std::streambuf {
    int overflow(int character) override
    {
        if (character != traits_type::eof()) putCharacter(theConsole, static_cast<char>(character));
        return character;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        for (std::streamsize i = 0; i < count; ++i) putCharacter(theConsole, text[i]);
        return count;
    }
};

// Never destroyed: std::cout may still flush into it while the program exits.
ScreenBuffer& screenBuffer()
{
    static ScreenBuffer* buffer = new ScreenBuffer;
    return *buffer;
}

Key takeTypedKey()
{
    if (theConsole.typed.empty()) throw ScriptExhausted{};
    Key key = theConsole.typed.front();
    theConsole.typed.pop_front();
    return key;
}

// The second code of a two-code key, handed out by the next readKey.
int pendingSecondCode = -1;

}  // namespace

TestConsole& testConsole() { return theConsole; }

void resetTestConsole()
{
    theConsole = TestConsole{};
    theConsole.cells.assign(screenRows, std::string(screenColumns, ' '));
    pendingSecondCode = -1;
    std::cout.rdbuf(&screenBuffer());
    std::cout.clear();
}

void typeKeys(const std::string& keys)
{
    for (char character : keys) theConsole.typed.push_back(Key{static_cast<unsigned char>(character), -1});
}

void typeCode(int code) { theConsole.typed.push_back(Key{code, -1}); }

void typeTwoCodeKey(int prefix, int scan) { theConsole.typed.push_back(Key{prefix, scan}); }

void typeLine(const std::string& line)
{
    typeKeys(line);
    typeCode(enterKey);
}

std::string screenRow(int row) { return theConsole.cells.at(static_cast<std::size_t>(row - 1)); }

std::string screenText(int column, int row, std::size_t length)
{
    return screenRow(row).substr(static_cast<std::size_t>(column - 1), length);
}

std::string trimmedRow(int row)
{
    std::string text = screenRow(row);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string wholeScreen()
{
    std::string text;
    for (int row = 1; row <= screenRows; ++row) {
        if (row > 1) text += '\n';
        text += trimmedRow(row);
    }
    return text;
}

std::vector<std::string> soundsPlayed()
{
    std::vector<std::string> sounds;
    for (const HeardOrWaited& item : theConsole.timeline) {
        if (!item.sound.empty()) sounds.push_back(item.sound);
    }
    return sounds;
}

std::vector<int> pausesTaken()
{
    std::vector<int> pauses;
    for (const HeardOrWaited& item : theConsole.timeline) {
        if (item.sound.empty()) pauses.push_back(item.milliseconds);
    }
    return pauses;
}

void forgetTimeline() { theConsole.timeline.clear(); }

// The console layer itself, as the game sees it.

void openConsole() {}

void setCursor(int column, int row)
{
    std::cout.flush();
    if (column < 1 || column > screenColumns || row < 1 || row > screenRows) {
        ++theConsole.cursorRefusals;  // the real console refuses such a move too
        return;
    }
    theConsole.column = column;
    theConsole.row = row;
}

void clearScreen()
{
    theConsole.cells.assign(screenRows, std::string(screenColumns, ' '));
    theConsole.column = 1;
    theConsole.row = 1;
}

void pause(int milliseconds)
{
    theConsole.timeline.push_back(HeardOrWaited{"", milliseconds});
    if (milliseconds > 0) theConsole.clockMilliseconds += milliseconds;
}

int readKey()
{
    if (theConsole.beforeRead) theConsole.beforeRead(ReadKind::key);
    if (pendingSecondCode >= 0) {
        int code = pendingSecondCode;
        pendingSecondCode = -1;
        return code;
    }
    Key key = takeTypedKey();
    if (isTwoCodeKey(key)) pendingSecondCode = key.second;
    return key.code;
}

std::string readLine(std::size_t limit)
{
    if (theConsole.beforeRead) theConsole.beforeRead(ReadKind::line);
    ++theConsole.linesRead;
    theConsole.lineLimits.push_back(limit);
    LineEditor editor = startLine(limit);
    while (!editor.finished) {
        std::cout << editLine(editor, takeTypedKey());
        // The real console ends by SIGINT here, which a shell reports as 130.
        if (editor.interrupted) endProgram(130);
    }
    return editor.text;
}

void playSound(const std::string& path) { theConsole.timeline.push_back(HeardOrWaited{path, 0}); }

void endProgram(int status)
{
    std::cout.flush();
    throw ProgramEnded{status};
}
