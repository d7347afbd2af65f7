// The console layer on a POSIX terminal (first cut: raw keys, no sound yet).
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "console/console.h"
#include "console/line_editor.h"

namespace {

termios savedModes;
bool modesSaved = false;

void restoreTerminal()
{
    if (modesSaved) tcsetattr(STDIN_FILENO, TCSANOW, &savedModes);
}

int readByte()
{
    unsigned char byte = 0;
    if (read(STDIN_FILENO, &byte, 1) != 1) endProgram(0);
    return byte;
}

}  // namespace

void openConsole()
{
    if (tcgetattr(STDIN_FILENO, &savedModes) == 0) {
        modesSaved = true;
        termios raw = savedModes;
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
        raw.c_iflag &= static_cast<tcflag_t>(~(ICRNL | IXON));
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
}

void setCursor(int column, int row) { std::cout << "\x1b[" << row << ';' << column << 'H'; }

void clearLine() { std::cout << std::string(78, ' '); }

void clearScreen() { std::cout << "\x1b[2J\x1b[H"; }

void pause(int milliseconds)
{
    std::cout.flush();
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int readKey()
{
    std::cout.flush();
    int byte = readByte();
    return byte == 127 ? backspaceKey : byte;
}

std::string readLine(std::size_t limit)
{
    LineEditor editor = startLine(limit);
    while (!editor.finished && !editor.interrupted) {
        std::cout << editLine(editor, Key{readKey(), -1});
        std::cout.flush();
    }
    if (editor.interrupted) endProgram(130);
    return editor.text;
}

void playSound(const std::string&) { std::cout.flush(); }

std::string nativePath(const std::string& path)
{
    std::string native = path;
    for (char& character : native) {
        if (character == '\\') character = '/';
    }
    return native;
}

void endProgram(int status)
{
    std::cout.flush();
    restoreTerminal();
    std::exit(status);
}
