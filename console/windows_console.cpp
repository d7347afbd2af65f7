// The console layer on the Windows console: cursor moves through the console
// API, raw keys from the run-time's _getch, lines from the console's own line
// mode, and sounds through the multimedia library. The only file that knows
// about Win32.
#include <windows.h>
#include <conio.h>
#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "console/console.h"

namespace {

// Text inserted into std::cout must be on the screen before the cursor moves
// through the console API, before a wait and before a key read.
void flushOutput()
{
    std::cout.flush();
    std::fflush(stdout);
}

bool isUtf8Continuation(char typed) { return (static_cast<unsigned char>(typed) & 0xC0) == 0x80; }

// Control bytes typed into a line (Ctrl+letter in line mode) never reach a
// name or a guess; everything else is kept as the console's code page gave it.
bool isKeptInLine(char typed)
{
    auto code = static_cast<unsigned char>(typed);
    return code >= 32 && code != 127;
}

// Cuts at the limit, and never inside a character when the console types UTF-8.
void cutToLimit(std::string& text, std::size_t limit)
{
    if (text.size() <= limit) return;
    std::size_t end = limit;
    if (GetConsoleCP() == CP_UTF8) {
        while (end > 0 && isUtf8Continuation(text[end])) --end;
    }
    text.erase(end);
}

}  // namespace

void openConsole()
{
    // Every text of the game is plain ASCII, so the console's own code pages
    // stay as they are; what the player types is echoed back in the same one.
}

void setCursor(int column, int row)
{
    flushOutput();
    COORD position;
    position.X = static_cast<SHORT>(column - 1);
    position.Y = static_cast<SHORT>(row - 1);
    SetConsoleCursorPosition(GetStdHandle(STD_OUTPUT_HANDLE), position);
}

void clearScreen()
{
    flushOutput();
    std::system("cls");
}

void pause(int milliseconds)
{
    flushOutput();
    if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

int readKey()
{
    flushOutput();
    return _getch();
}

// The console's line mode echoes and edits the line until Enter. Only the
// first `limit` bytes are kept; the rest of that line is read and dropped, so
// the next read waits for the next line typed. The bytes are taken one at a
// time so an endless line never grows a buffer.
std::string readLine(std::size_t limit)
{
    flushOutput();
    std::string text;
    for (;;) {
        int next = std::cin.get();
        if (next == std::char_traits<char>::eof()) endProgram(0);  // the console is gone
        char typed = static_cast<char>(next);
        if (typed == '\n') break;
        if (text.size() <= limit && isKeptInLine(typed)) text.push_back(typed);
    }
    cutToLimit(text, limit);
    return text;
}

void playSound(const std::string& path)
{
    flushOutput();
    PlaySoundA(path.c_str(), nullptr, SND_FILENAME);
}

// Game paths are written the Windows way already.
std::string nativePath(const std::string& path) { return path; }

void endProgram(int status)
{
    flushOutput();
    std::exit(status);
}
