// The terminal of the POSIX console: its modes while the game runs, job
// control, the window's size, and the way every ending puts the terminal back.
// Owns the console's one state struct.
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <iostream>

#include "console/console.h"
#include "console/key.h"
#include "console/posix_console.h"
#include "console/posix_sound.h"

namespace {

// Never destroyed: std::cout may still flush into the screen while the
// program exits.
PosixConsole& theConsole = *new PosixConsole;

// Mouse reports off in every encoding; cursor keys and keypad send their
// normal codes. An earlier program may have left any of them on.
constexpr char startSequence[] =
    "\x1b[?9l\x1b[?1000l\x1b[?1002l\x1b[?1003l\x1b[?1005l\x1b[?1006l\x1b[?1015l\x1b[?1l\x1b>";
// Written on the way out: attributes reset, cursor visible.
constexpr char restoreSequence[] = "\x1b[0m\x1b[?25h";

// Taken as events, only inside the keyboard's waits (blocked everywhere else).
constexpr int eventSignals[] = {SIGWINCH, SIGTSTP, SIGCONT, SIGHUP};

// Their default action ends the process: the terminal is put back first.
constexpr int endingSignals[] = {SIGINT,  SIGQUIT, SIGTERM,   SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2,
                                 SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGPOLL, SIGSYS,  SIGTRAP,
                                 SIGABRT, SIGSEGV, SIGBUS,    SIGFPE,  SIGILL};

std::size_t appendText(char* buffer, std::size_t at, const char* text)
{
    while (*text != '\0') buffer[at++] = *text++;
    return at;
}

std::size_t appendNumber(char* buffer, std::size_t at, int number)
{
    if (number >= 10) at = appendNumber(buffer, at, number / 10);
    buffer[at++] = static_cast<char>('0' + number % 10);
    return at;
}

// Puts the terminal back as the game found it, with the cursor on a fresh
// line under the game's text. Safe inside a signal handler: only write and
// tcsetattr; a terminal already put back is left alone.
void leaveTerminal()
{
    TerminalEvents& events = theConsole.events;
    if (!events.modesApplied) return;
    events.modesApplied = 0;
    char text[64];
    std::size_t length = appendText(text, 0, restoreSequence);
    const int row = events.rowBelowScreen;
    length = appendText(text, length, "\x1b[");
    length = appendNumber(text, length, row > screenRows ? screenRows : row);
    length = appendText(text, length, row > screenRows ? ";1H\r\n" : ";1H");
    writeToTerminal(text, length);
    tcsetattr(STDIN_FILENO, TCSANOW, &theConsole.modes.saved);
}

// Keys come byte by byte without echo. Ctrl-C keeps its signal outside key
// reads; Ctrl-Z and Ctrl-\ are plain (refused) keys, like every other control.
void applyGameModes()
{
    TerminalModes& modes = theConsole.modes;
    modes.game = modes.saved;
    modes.game.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | IEXTEN));
    if (modes.keyRead) {
        modes.game.c_lflag &= static_cast<tcflag_t>(~ISIG);
    } else {
        modes.game.c_lflag |= ISIG;
    }
    modes.game.c_iflag &= static_cast<tcflag_t>(~(ICRNL | INLCR | IGNCR | IXON | ISTRIP));
    modes.game.c_oflag |= OPOST | ONLCR;
    modes.game.c_cc[VMIN] = 1;
    modes.game.c_cc[VTIME] = 0;
    modes.game.c_cc[VSUSP] = _POSIX_VDISABLE;
    modes.game.c_cc[VQUIT] = _POSIX_VDISABLE;
    // TCSANOW: keys typed before must stay queued.
    if (tcsetattr(STDIN_FILENO, TCSANOW, &modes.game) != 0) return;
    theConsole.events.modesApplied = 1;
    writeToTerminal(startSequence, sizeof startSequence - 1);
}

bool windowLargeEnough()
{
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) return true;
    return size.ws_col >= screenColumns && size.ws_row >= screenRows;
}

// Written over the game's screen, which stays in the model underneath.
void drawRoomRequest()
{
    constexpr char request[] =
        "\x1b[0m\x1b[2J\x1b[H"
        "Please make this window at least 80 columns wide and 25 rows high\r\n"
        "Press Escape to leave the game";
    theConsole.events.rowBelowScreen = 3;  // a shell's prompt after the game goes under the request
    writeToTerminal(request, sizeof request - 1);
}

// The game's screen when there is room for it, else the request for room.
void showGameOrRequest()
{
    const bool room = windowLargeEnough();
    theConsole.screenShown = room && theConsole.events.modesApplied;
    if (!theConsole.events.modesApplied) return;
    if (room) {
        repaintScreen();
    } else {
        drawRoomRequest();
    }
}

// Only the foreground may change the terminal; a terminal we cannot ask about
// (input from elsewhere) counts as ours.
bool inForeground()
{
    pid_t group = tcgetpgrp(STDIN_FILENO);
    return group < 0 || group == getpgrp();
}

// After a stop: in the foreground, the game's modes again and its screen;
// in the background, stop again as any program that needs the terminal does.
void resumeTerminal()
{
    if (!inForeground()) {
        raise(SIGTTOU);
        return;
    }
    // The modes may have been changed while the game was stopped; if the game
    // had not put them back (a plain SIGSTOP), the saved ones still hold.
    if (!theConsole.events.modesApplied) tcgetattr(STDIN_FILENO, &theConsole.modes.saved);
    applyGameModes();
    showGameOrRequest();
}

void onEvent(int signalNumber)
{
    TerminalEvents& events = theConsole.events;
    if (signalNumber == SIGWINCH) events.resized = 1;
    if (signalNumber == SIGCONT) events.resumed = 1;
    if (signalNumber == SIGHUP) events.hungUp = 1;
}

void installHandler(int signalNumber, void (*handler)(int), int flags);

// The terminal is put back, then the process stops as the default action
// would; it goes on from here when continued.
void onStop(int)
{
    const int savedErrno = errno;
    leaveTerminal();
    signal(SIGTSTP, SIG_DFL);
    raise(SIGTSTP);  // held while this handler runs
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTSTP);
    sigset_t before;
    sigprocmask(SIG_UNBLOCK, &stop, &before);  // stops here
    sigprocmask(SIG_SETMASK, &before, nullptr);
    installHandler(SIGTSTP, onStop, 0);
    theConsole.events.resumed = 1;
    errno = savedErrno;
}

// The handler runs once (SA_RESETHAND): the signal raised again is delivered
// with its default action as soon as the handler returns.
void onEndingSignal(int signalNumber)
{
    const int savedErrno = errno;
    leaveTerminal();
    raise(signalNumber);
    errno = savedErrno;
}

// A signal that is already ignored or handled (nohup, a sanitizer) is left so.
void installHandler(int signalNumber, void (*handler)(int), int flags)
{
    struct sigaction current {};
    if (sigaction(signalNumber, nullptr, &current) != 0) return;
    if (current.sa_handler != SIG_DFL && current.sa_handler != onStop) return;
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
}

void installSignalHandlers()
{
    for (int signalNumber : endingSignals) installHandler(signalNumber, onEndingSignal, SA_RESETHAND);
    for (int signalNumber = SIGRTMIN; signalNumber <= SIGRTMAX; ++signalNumber) {
        installHandler(signalNumber, onEndingSignal, SA_RESETHAND);
    }
    for (int signalNumber : eventSignals) installHandler(signalNumber, signalNumber == SIGTSTP ? onStop : onEvent, 0);
    // Blocked before any sound thread starts, so they reach only the waits.
    sigset_t events;
    sigemptyset(&events);
    for (int signalNumber : eventSignals) sigaddset(&events, signalNumber);
    sigprocmask(SIG_BLOCK, &events, &theConsole.waitMask);
    for (int signalNumber : eventSignals) sigdelset(&theConsole.waitMask, signalNumber);
}

void requireInteractiveTerminal()
{
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return;
    std::cerr << "happy-koalas-hum: this game needs an interactive terminal" << std::endl;
    std::exit(1);
}

bool isPlainKey(const Key& key, int code) { return key.code == code && !isTwoCodeKey(key); }

}  // namespace

PosixConsole& posixConsole() { return theConsole; }

void setKeyReadMode(bool reading)
{
    theConsole.pace = {};  // a read waits for the player: the turn after it starts on time
    TerminalModes& modes = theConsole.modes;
    if (reading == modes.keyRead) return;
    modes.keyRead = reading;
    if (!theConsole.events.modesApplied) return;
    if (reading) {
        modes.game.c_lflag &= static_cast<tcflag_t>(~ISIG);
    } else {
        modes.game.c_lflag |= ISIG;
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &modes.game);
}

void handleTerminalEvents()
{
    TerminalEvents& events = theConsole.events;
    if (events.hungUp) endForLostInput();
    if (events.resumed) {
        events.resumed = 0;
        theConsole.pace.resumedAt = std::chrono::steady_clock::now();
        resumeTerminal();
    }
    if (events.resized) {
        events.resized = 0;
        showGameOrRequest();
    }
}

// Keys typed before the request stay queued for the game; those typed at it
// are the request's own: Escape leaves, Ctrl-C ends the game as outside a
// key read, and the rest are dropped.
void waitForRoom()
{
    if (!theConsole.events.modesApplied || windowLargeEnough()) return;
    if (theConsole.screenShown) showGameOrRequest();
    std::deque<Key> typedBefore;
    typedBefore.swap(theConsole.decoder.keys);
    while (!windowLargeEnough()) {
        Key key;
        if (!waitForKeyOrSignal(key)) continue;
        if (isPlainKey(key, escapeKey)) endProgram(0);
        if (isPlainKey(key, ctrlCKey)) endBySignal(SIGINT);
    }
    std::deque<Key>& keys = theConsole.decoder.keys;
    keys.insert(keys.begin(), typedBefore.begin(), typedBefore.end());
    if (!theConsole.screenShown) showGameOrRequest();
}

void endBySignal(int signalNumber)
{
    flushScreen();
    leaveTerminal();
    signal(signalNumber, SIG_DFL);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    sigaddset(&unblocked, signalNumber);
    sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);
    raise(signalNumber);
    std::_Exit(128 + signalNumber);
}

void openConsole()
{
    requireInteractiveTerminal();
    startScreenModel();
    installSignalHandlers();
    if (tcgetattr(STDIN_FILENO, &theConsole.modes.saved) == 0) applyGameModes();
    theConsole.screenShown = theConsole.events.modesApplied;
    waitForRoom();
}

// No prompt can be answered again, so the game ends with status 0, but with
// no exit handlers: the terminal is gone, and the SIGCONT that comes with a
// hangup can cancel the stop that a leak checker at exit waits for.
void endForLostInput()
{
    flushScreen();
    closeSound();
    leaveTerminal();
    std::_Exit(0);
}

void endProgram(int status)
{
    flushScreen();
    closeSound();
    leaveTerminal();
    theConsole.screenShown = false;
    std::exit(status);
}
