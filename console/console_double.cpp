#include "console/console_double.h"

#include <algorithm>
#include <iostream>
#include <memory>

#include "console/console.h"
#include "console/line_editor.h"

namespace {

// Never destroyed: std::cout may still flush into it while the program exits.
TestConsole& theConsole = *new TestConsole;

// The bytes for a terminal are of no use here; every cursor move flushes them away.
void dropOutput() { theConsole.output.clear(); }

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
    // Made afresh in place: GCC 12 misreads an assignment from a temporary
    // here as a read of uninitialised strings.
    std::destroy_at(&theConsole);
    std::construct_at(&theConsole);
    blankScreen(theConsole);
    pendingSecondCode = -1;
    std::cout.rdbuf(&screenStream(theConsole, dropOutput));
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

std::string screenRow(int row) { return cellText(theConsole, row); }

std::string screenText(int column, int row, std::size_t length)
{
    return cellText(theConsole, row, column, static_cast<int>(std::min<std::size_t>(length, screenColumns)));
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

// The console layer itself, as the game sees it.

void openConsole() {}

void setCursor(int column, int row)
{
    if (!moveCursor(theConsole, column, row)) ++theConsole.cursorRefusals;  // the real console refuses it too
    std::cout.flush();
}

void clearLine()
{
    blankCells(theConsole, clearedColumns);
}

void clearScreen()
{
    blankScreen(theConsole);
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
