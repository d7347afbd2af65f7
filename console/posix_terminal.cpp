// The terminal of the POSIX console: its modes while the game runs, the way
// every ending restores them, and the window size the screens need.
#include "console/posix_terminal.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "console/console.h"
#include "console/key.h"
#include "console/posix_keyboard.h"
#include "console/posix_sound.h"

namespace {

termios savedModes;
termios gameModes;
bool modesChanged = false;
bool inKeyRead = false;

// Written on the way out: attributes reset, cursor visible.
constexpr char restoreSequence[] = "\x1b[0m\x1b[?25h";

// Safe inside a signal handler: only write and tcsetattr.
void restoreTerminal()
{
    if (!modesChanged) return;
    ssize_t ignored = write(STDOUT_FILENO, restoreSequence, sizeof restoreSequence - 1);
    (void)ignored;
    tcsetattr(STDIN_FILENO, TCSANOW, &savedModes);
}

// The handler runs once (SA_RESETHAND): the signal raised again is delivered
// with its default action as soon as the handler returns.
void onEndingSignal(int signalNumber)
{
    restoreTerminal();
    raise(signalNumber);
}

void onWindowChange(int) {}  // only wakes the wait for a larger window

void requireInteractiveTerminal()
{
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return;
    std::cerr << "happy-koalas-hum: this game needs an interactive terminal" << std::endl;
    std::exit(1);
}

void installSignalHandlers()
{
    struct sigaction ending {};
    ending.sa_handler = onEndingSignal;
    ending.sa_flags = SA_RESETHAND;
    sigemptyset(&ending.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(signalNumber, &ending, nullptr);

    // A window change only matters while waiting for a larger window; it
    // stays blocked elsewhere so it never interrupts a read or a sound.
    struct sigaction windowChange {};
    windowChange.sa_handler = onWindowChange;
    sigemptyset(&windowChange.sa_mask);
    sigaction(SIGWINCH, &windowChange, nullptr);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGWINCH);
    sigprocmask(SIG_BLOCK, &blocked, nullptr);
}

// Keys come byte by byte without echo; line breaks in the output still
// return to column 1. Ctrl-C keeps its signal outside key reads; Ctrl-Z is
// off, since a stopped game could not redraw its screen.
void enterGameModes()
{
    if (tcgetattr(STDIN_FILENO, &savedModes) != 0) return;
    gameModes = savedModes;
    gameModes.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | IEXTEN));
    gameModes.c_lflag |= ISIG;
    gameModes.c_iflag &= static_cast<tcflag_t>(~(ICRNL | INLCR | IGNCR | IXON | ISTRIP));
    gameModes.c_oflag |= OPOST | ONLCR;
    gameModes.c_cc[VMIN] = 1;
    gameModes.c_cc[VTIME] = 0;
    gameModes.c_cc[VSUSP] = _POSIX_VDISABLE;
    modesChanged = true;
    // TCSANOW: keys typed before the start must stay queued.
    tcsetattr(STDIN_FILENO, TCSANOW, &gameModes);
}

bool windowLargeEnough()
{
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) return true;
    return size.ws_col >= screenColumns && size.ws_row >= screenRows;
}

bool isEscape(const Key& key) { return key.code == escapeKey && !isTwoCodeKey(key); }

// Shows the size message until the window is large enough; Escape leaves.
void waitForLargeWindow()
{
    if (windowLargeEnough()) return;
    clearScreen();
    setCursor(1, 1);
    std::cout << "Please make this window at least 80 columns wide and 25 rows high" << std::flush;
    sigset_t waitMask;
    sigprocmask(SIG_SETMASK, nullptr, &waitMask);
    sigdelset(&waitMask, SIGWINCH);
    setKeyReadMode(true);
    while (!windowLargeEnough()) {
        Key key;
        if (waitForKeyOrSignal(key, waitMask) && isEscape(key)) endProgram(0);
    }
    setKeyReadMode(false);
    clearScreen();
}

}  // namespace

void setKeyReadMode(bool reading)
{
    if (!modesChanged || reading == inKeyRead) return;
    inKeyRead = reading;
    if (reading) {
        gameModes.c_lflag &= static_cast<tcflag_t>(~ISIG);
    } else {
        gameModes.c_lflag |= ISIG;
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &gameModes);
}

void endBySignal(int signalNumber)
{
    std::cout.flush();
    restoreTerminal();
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
    installSignalHandlers();
    enterGameModes();
    waitForLargeWindow();
}

void endProgram(int status)
{
    std::cout << "\r\n" << std::flush;
    closeSound();
    restoreTerminal();
    std::exit(status);
}
