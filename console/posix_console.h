// The POSIX console's state, all of it in one struct with one owner
// (posix_terminal.cpp): the terminal's modes, the copy of the game's screen,
// the key queue, and what the signals have reported. Only console/ includes
// this.
#pragma once

#include <signal.h>
#include <termios.h>

#include <array>
#include <string>

#include "console/console.h"
#include "console/key_decoder.h"
#include "console/posix_keyboard.h"

// The game's screen as the player should see it, kept so it can be drawn
// again whole after a stop or a resize. A cell holds one character with its
// combining marks, " " when blank, and "" as the right half of a wide one.
struct ScreenCopy {
    std::array<std::array<std::string, screenColumns>, screenRows> cells;
    int column = 1;  // 1 to 80, or 81 when the next character goes to the next row
    int row = 1;
    std::string partial;       // the bytes so far of a UTF-8 character written
    int continuationLeft = 0;  // bytes still due of it
};

struct TerminalModes {
    termios saved{};      // as the game found them; put back whenever it leaves
    termios game{};       // while it runs
    bool keyRead = false; // Ctrl-C is a key, not a signal
};

// Signals only raise these flags (the handlers run inside the keyboard's
// wait); the keyboard acts on them as soon as the wait returns. The ending
// signals' handlers read the last two, so they restore only what was set.
struct TerminalEvents {
    volatile sig_atomic_t resumed = 0;
    volatile sig_atomic_t resized = 0;
    volatile sig_atomic_t hungUp = 0;
    volatile sig_atomic_t modesApplied = 0;   // the game's modes are in force
    volatile sig_atomic_t rowBelowScreen = 1; // the first row under the game's text (26: under the screen)
};

struct PosixConsole {
    TerminalModes modes;
    TerminalEvents events;
    ScreenCopy screen;
    std::string output;        // for the terminal, written at the next flush
    bool screenShown = false;  // the terminal shows the game: writes reach it
    sigset_t waitMask{};       // the signal mask of every wait: the event signals let in
    KeyDecoder decoder;
    SteadyTime lastByteTime;
    int pendingSecondCode = -1;  // the scan code still due of a two-code key
};

PosixConsole& posixConsole();

// posix_screen.cpp: the copy of the screen, and std::cout writing into it.
void startScreenCopy();
void flushScreen();               // writes what is due to the terminal, if it shows the game
void repaintScreen();             // draws the whole copy again
void writeToTerminal(const char* bytes, std::size_t count);  // safe in a signal handler

// posix_terminal.cpp: modes, signals and the window's size.
void setKeyReadMode(bool reading);
[[noreturn]] void endBySignal(int signalNumber);  // as that signal would, the terminal restored
[[noreturn]] void endForLostInput();  // end of input or a hangup: status 0, restored as far as can be
void handleTerminalEvents();      // after a wait was cut short by a signal
void waitForRoom();               // while the window is too small for the game

// posix_keyboard.cpp: the key queue (sleepTakingKeys is in posix_keyboard.h).
bool waitForKeyOrSignal(Key& key);  // false when a signal cut the wait short
