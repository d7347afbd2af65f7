// The console layer on the Windows console: cursor moves through the console
// API, raw keys from the run-time's _getch, lines edited here from the
// console's key events, and sounds through the multimedia library. The only
// file that knows about Win32.
#include <windows.h>
#include <conio.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "console/console.h"
#include "console/line_editor.h"

namespace {

constexpr DWORD sizeCheckMilliseconds = 100;

// Text inserted into std::cout must be on the screen before the cursor moves
// through the console API, before a wait and before a key read.
void flushOutput()
{
    std::cout.flush();
    std::fflush(stdout);
}

// The console's keyboard, even when standard input is redirected; the
// run-time's _getch reads the same one.
HANDLE consoleInput()
{
    static HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    return input;
}

// Takes the console's next event, waiting at most `milliseconds` for one;
// false when none came. Without a console, or once its input has ended, no
// prompt could ever be answered again: the game ends.
bool takeConsoleEvent(INPUT_RECORD& record, DWORD milliseconds)
{
    HANDLE input = consoleInput();
    if (input == INVALID_HANDLE_VALUE) endProgram(0);
    DWORD waited = WaitForSingleObject(input, milliseconds);
    if (waited == WAIT_TIMEOUT) return false;
    DWORD count = 0;
    if (waited != WAIT_OBJECT_0 || !ReadConsoleInputW(input, &record, 1, &count) || count == 0) endProgram(0);
    return true;
}

bool isKeyPress(const INPUT_RECORD& record)
{
    return record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown;
}

void waitForRoom();

// A line's next key press; the size is checked while it waits.
KEY_EVENT_RECORD nextKeyPress()
{
    for (;;) {
        waitForRoom();
        INPUT_RECORD record;
        if (takeConsoleEvent(record, sizeCheckMilliseconds) && isKeyPress(record)) return record.Event.KeyEvent;
    }
}

std::string utf8From(const wchar_t* wide, int length)
{
    char bytes[8];
    int count = WideCharToMultiByte(CP_UTF8, 0, wide, length, bytes, sizeof bytes, nullptr, nullptr);
    return std::string(bytes, count > 0 ? static_cast<std::size_t>(count) : 0);
}

// The bytes of what a key press types, in UTF-8 for the line editor; a
// character outside the basic plane comes as two presses, and the first
// waits in `highSurrogate` for the second.
std::string typedBytes(const KEY_EVENT_RECORD& key, wchar_t& highSurrogate)
{
    wchar_t unit = key.uChar.UnicodeChar;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        highSurrogate = unit;
        return {};
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        const wchar_t pair[2] = {highSurrogate, unit};
        highSurrogate = 0;
        return pair[0] != 0 ? utf8From(pair, 2) : std::string();
    }
    highSurrogate = 0;
    if (unit == 0) return {};  // a key without a character: an arrow, Shift
    return utf8From(&unit, 1);
}

// UTF-8 from the line editor in the console's output code page, as the rest
// of the game's text is written; a character the code page lacks becomes '?'.
std::string consoleText(const std::string& utf8)
{
    if (utf8.empty()) return {};
    int length = static_cast<int>(utf8.size());
    std::wstring wide(utf8.size(), L'\0');
    int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), length);
    if (wideLength <= 0) return {};
    UINT codePage = GetConsoleOutputCP();
    std::string text(utf8.size() * 2, '\0');
    int textLength = WideCharToMultiByte(codePage, 0, wide.data(), wideLength, text.data(),
                                         static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(textLength > 0 ? static_cast<std::size_t>(textLength) : 0);
    return text;
}

// Ctrl-C typed into a line: the console's own handling of it ends the process.
[[noreturn]] void endAsCtrlCDoes()
{
    flushOutput();
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

// The visible part of the console; without a console there is nothing to ask.
bool consoleLargeEnough()
{
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return true;
    int columns = info.srWindow.Right - info.srWindow.Left + 1;
    int rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    return columns >= screenColumns && rows >= screenRows;
}

// While the console is too small, shows the request for room over the game's
// screen and puts that screen back, with its cursor, once there is room;
// Escape leaves. Keys typed before the request stay queued for the game;
// those typed at it are the request's own. Not every resize reaches the
// console's input, so the size is looked at again whenever an event comes and
// at least every tenth of a second. The events are taken, not peeked at, so a
// key release left waiting cannot make the loop spin.
void waitForRoom()
{
    if (consoleLargeEnough()) return;
    flushOutput();
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    GetConsoleScreenBufferInfo(output, &info);
    static CHAR_INFO gameScreen[screenColumns * screenRows];
    const COORD size{screenColumns, screenRows};
    SMALL_RECT region{0, 0, screenColumns - 1, screenRows - 1};
    ReadConsoleOutputW(output, gameScreen, size, {0, 0}, &region);
    DWORD typedCount = 0;
    GetNumberOfConsoleInputEvents(consoleInput(), &typedCount);
    std::vector<INPUT_RECORD> typedBefore(typedCount);
    if (typedCount > 0) ReadConsoleInputW(consoleInput(), typedBefore.data(), typedCount, &typedCount);
    clearScreen();
    std::cout << "Please make this window at least 80 columns wide and 25 rows high\n"
                 "Press Escape to leave the game";
    flushOutput();
    while (!consoleLargeEnough()) {
        INPUT_RECORD record;
        if (takeConsoleEvent(record, sizeCheckMilliseconds) && isKeyPress(record) &&
            record.Event.KeyEvent.uChar.UnicodeChar == escapeKey) {
            endProgram(0);
        }
    }
    FlushConsoleInputBuffer(consoleInput());
    if (typedCount > 0) WriteConsoleInputW(consoleInput(), typedBefore.data(), typedCount, &typedCount);
    clearScreen();
    WriteConsoleOutputW(output, gameScreen, size, {0, 0}, &region);
    SetConsoleCursorPosition(output, info.dwCursorPosition);
}

// Waits until the run-time's _getch has a key press to read, looking at the
// size meanwhile; events _getch would skip (key releases, focus, the mouse)
// are dropped on the way. Without a console it returns at once, and _getch
// finds the end of input.
void waitForKeyPress()
{
    INPUT_RECORD record;
    DWORD count = 0;
    for (;;) {
        waitForRoom();
        // The invalid handle is also the process's own, which a wait would take for ever.
        if (consoleInput() == INVALID_HANDLE_VALUE) return;
        if (WaitForSingleObject(consoleInput(), sizeCheckMilliseconds) == WAIT_TIMEOUT) continue;
        if (!PeekConsoleInputW(consoleInput(), &record, 1, &count) || count == 0 || isKeyPress(record)) return;
        ReadConsoleInputW(consoleInput(), &record, 1, &count);
    }
}

}  // namespace

void openConsole()
{
    // Every text of the game is plain ASCII, so the console's own code pages
    // stay as they are; what the player types is echoed back in the same one.
    waitForRoom();
}

void setCursor(int column, int row)
{
    flushOutput();
    COORD position;
    position.X = static_cast<SHORT>(column - 1);
    position.Y = static_cast<SHORT>(row - 1);
    SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE), position);
}

// What the command interpreter's "cls" does, without starting it: the whole
// buffer blanked in the current colours, the cursor and the window home.
void clearScreen()
{
    flushOutput();
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(output, &info)) return;
    const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    const COORD home{0, 0};
    DWORD written = 0;
    FillConsoleOutputCharacterW(output, L' ', cells, home, &written);
    FillConsoleOutputAttribute(output, info.wAttributes, cells, home, &written);
    SetConsoleCursorPosition(output, home);
}

void pause(int milliseconds)
{
    flushOutput();
    if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

// Without a console, or once its input has ended, _getch gives EOF for ever:
// no prompt could be answered again.
int readKey()
{
    flushOutput();
    // The second code of a key without a character waits in the run-time, not
    // in the console's input.
    static bool secondCodeWaiting = false;
    if (!secondCodeWaiting) waitForKeyPress();
    int code = _getch();
    if (code == EOF) endProgram(0);
    secondCodeWaiting = !secondCodeWaiting && (code == 0 || code == 224);
    return code;
}

// The line is edited here rather than in the console's line mode, whose
// run-time reading takes Ctrl-Z for the end of input: every control key but
// Enter, Backspace and Ctrl-C is ignored, and only what fits the limit is
// taken and echoed, so the next read waits for the next line typed.
std::string readLine(std::size_t limit)
{
    flushOutput();
    LineEditor editor = startLine(limit);
    wchar_t highSurrogate = 0;
    while (!editor.finished) {
        KEY_EVENT_RECORD key = nextKeyPress();
        std::string bytes = typedBytes(key, highSurrogate);
        for (WORD repeat = 0; repeat < std::max<WORD>(key.wRepeatCount, 1); ++repeat) {
            for (char byte : bytes) {
                std::cout << consoleText(editLine(editor, Key{static_cast<unsigned char>(byte), -1}));
            }
        }
        flushOutput();
        if (editor.interrupted) endAsCtrlCDoes();
    }
    return consoleText(editor.text);
}

void playSound(const std::string& path)
{
    flushOutput();
    PlaySoundA(path.c_str(), nullptr, SND_FILENAME);
}

// Game paths are written the Windows way already.
std::string nativePath(const std::string& path) { return path; }

// The command prompt that follows starts on a line of its own, under the
// closing screen's prompt.
void endProgram(int status)
{
    flushOutput();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info) && info.dwCursorPosition.X != 0) {
        std::cout << '\n';
    }
    std::exit(status);
}
