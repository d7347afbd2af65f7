// The POSIX console's state, all of it in one struct with one owner
// (posix_terminal.cpp): the terminal's modes, the model of the game's screen,
// the key queue, and what the signals have reported. Only console/ includes
// this.
#pragma once

#include <signal.h>
#include <termios.h>

#include <algorithm>

#include "console/console.h"
#include "console/key_decoder.h"
#include "console/posix_keyboard.h"
#include "console/screen_model.h"

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

// What the game has spent since the last key read beyond its own pauses and
// sounds (keeping the screen's updates apart, a sound's end noticed late, a
// sleep woken late): the next pauses are that much shorter, so a turn keeps
// its designed length. The silence between two sounds is never cut for it.
struct GamePace {
    std::chrono::steady_clock::duration behind{};
    SteadyTime lastSoundEnd{};  // none since the last key read: the clock's epoch
    std::chrono::steady_clock::duration pausedSinceSound{};  // asked for since that sound's end
    SteadyTime resumedAt{};  // a stop is the player's time, not the game's
};

// A wait that began at `since` left the turn `late` behind its design.
inline void countLateness(GamePace& pace, SteadyTime since, std::chrono::steady_clock::duration late)
{
    const bool stoppedMeanwhile = pace.resumedAt >= since;
    pace.behind = stoppedMeanwhile ? std::chrono::steady_clock::duration::zero()
                                   : std::max(late, std::chrono::steady_clock::duration::zero());
}

struct PosixConsole {
    TerminalModes modes;
    TerminalEvents events;
    ScreenModel screen;        // the game's screen, kept to draw it again after a stop or a resize
    bool screenShown = false;  // the terminal shows the game: writes reach it
    sigset_t waitMask{};       // the signal mask of every wait: the event signals let in
    KeyDecoder decoder;
    SteadyTime lastByteTime;
    int pendingSecondCode = -1;  // the scan code still due of a two-code key
    GamePace pace;
};

PosixConsole& posixConsole();

// posix_screen.cpp: std::cout writing into the screen model, and the model to the terminal.
void startScreenModel();
void flushScreen();               // writes what is due to the terminal, if it shows the game
void repaintScreen();             // draws the whole screen again
void writeToTerminal(const char* bytes, std::size_t count);  // safe in a signal handler

// posix_terminal.cpp: modes, signals and the window's size.
void setKeyReadMode(bool reading);
[[noreturn]] void endBySignal(int signalNumber);  // as that signal would, the terminal restored
[[noreturn]] void endForLostInput();  // end of input or a hangup: status 0, restored as far as can be
void handleTerminalEvents();      // after a wait was cut short by a signal
void waitForRoom();               // while the window is too small for the game

// posix_keyboard.cpp: the key queue (sleepTakingKeys is in posix_keyboard.h).
bool waitForKeyOrSignal(Key& key);  // false when a signal cut the wait short
