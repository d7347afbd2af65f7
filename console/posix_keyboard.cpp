#include "console/posix_keyboard.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>
#include <optional>

#include "console/console.h"
#include "console/key_decoder.h"
#include "console/line_editor.h"
#include "console/posix_console.h"
#include "console/posix_sound.h"

namespace {

using Clock = std::chrono::steady_clock;

timespec toTimespec(Clock::duration wait)
{
    auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
    if (nanoseconds < 0) nanoseconds = 0;
    return timespec{static_cast<time_t>(nanoseconds / 1000000000), static_cast<long>(nanoseconds % 1000000000)};
}

// Reads what the terminal holds; the end of input ends the program, since no
// prompt could ever be answered again.
void readAvailableBytes(PosixConsole& console)
{
    unsigned char bytes[256];
    ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (count <= 0) endForLostInput();
    for (ssize_t i = 0; i < count; ++i) feedByte(console.decoder, bytes[i]);
    console.lastByteTime = Clock::now();
}

// One wait for typed bytes, of at most `wait` (without limit if none), cut
// short to end a pending escape sequence in time. The console's signals are
// let in only here; false when one cut the wait short (it is dealt with).
bool takeTypedBytes(std::optional<Clock::duration> wait)
{
    PosixConsole& console = posixConsole();
    if (awaitsMoreBytes(console.decoder)) {
        Clock::duration left =
            console.lastByteTime + std::chrono::milliseconds(escapeSequenceWaitMilliseconds) - Clock::now();
        if (left <= Clock::duration::zero()) {
            endPendingSequence(console.decoder);
            return true;
        }
        if (!wait || left < *wait) wait = left;
    }
    pollfd input{STDIN_FILENO, POLLIN, 0};
    timespec timeout{};
    if (wait) timeout = toTimespec(*wait);
    int ready = ppoll(&input, 1, wait ? &timeout : nullptr, &console.waitMask);
    if (ready < 0) {
        if (errno != EINTR) endForLostInput();
        handleTerminalEvents();
        return false;
    }
    if (ready > 0) readAvailableBytes(console);
    return true;
}

// A read waits while the window is too small for the game.
Key nextKeyInReadMode()
{
    endSoundRun();
    Key key;
    for (;;) {
        waitForRoom();
        if (takeKey(posixConsole().decoder, key)) return key;
        takeTypedBytes(std::nullopt);
    }
}

}  // namespace

void sleepTakingKeys(SteadyTime deadline)
{
    for (SteadyTime now = Clock::now(); now < deadline; now = Clock::now()) takeTypedBytes(deadline - now);
}

bool waitForKeyOrSignal(Key& key)
{
    while (!takeKey(posixConsole().decoder, key)) {
        if (!takeTypedBytes(std::nullopt)) return false;
    }
    return true;
}

int readKey()
{
    int& pendingSecondCode = posixConsole().pendingSecondCode;
    if (pendingSecondCode >= 0) {
        std::cout.flush();
        int code = pendingSecondCode;
        pendingSecondCode = -1;
        return code;
    }
    // Ctrl-C becomes a key before the prompt shows: a player who answers the
    // prompt the moment it appears must not end the game.
    setKeyReadMode(true);
    std::cout.flush();
    Key key = nextKeyInReadMode();
    setKeyReadMode(false);
    if (isTwoCodeKey(key)) pendingSecondCode = key.second;
    return key.code;
}

std::string readLine(std::size_t limit)
{
    setKeyReadMode(true);
    std::cout.flush();
    LineEditor editor = startLine(limit);
    while (!editor.finished) {
        std::cout << editLine(editor, nextKeyInReadMode());
        std::cout.flush();
        if (editor.interrupted) endBySignal(SIGINT);
    }
    setKeyReadMode(false);
    return editor.text;
}
