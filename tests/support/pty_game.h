// The real game on a bare pseudo-terminal, watched from outside. The game
// runs as a job of its own under a stand-in for the shell, so it can be
// stopped and continued as from a shell; what it writes is kept whole, and
// read back through a model of the 80x25 terminal it draws on. The game
// reaches no sound server and no sound device: the sound tier hears it.
#pragma once

#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// What the terminal shows: characters (a UTF-8 character in one cell), line
// ends, cursor moves, clears and erases to the end of the row; other sequences draw nothing.
struct TerminalModel {
    std::array<std::array<std::string, 80>, 25> cells;  // an empty cell is blank
    int column = 1;  // 81: the next character wraps
    int row = 1;
    std::string escape;  // a sequence not yet whole

    void feed(char byte)
    {
        const auto code = static_cast<unsigned char>(byte);
        if (!escape.empty() || code == 0x1b) {
            escape += byte;
            if (escape.size() == 2 ? code == '[' : escape.size() < 2 || code < 0x40 || code > 0x7e) return;
            int numbers[2] = {1, 1};
            std::sscanf(escape.c_str(), "\x1b[%d;%d", &numbers[0], &numbers[1]);
            if (code == 'H') row = std::clamp(numbers[0], 1, 25), column = std::clamp(numbers[1], 1, 80);
            if (escape == "\x1b[2J") cells = {};
            if (escape == "\x1b[K") std::fill(cells[row - 1].begin() + std::min(column, 81) - 1, cells[row - 1].end(), "");
            return escape.clear();
        }
        const bool first = code >= 0x20 && code != 0x7f && (code < 0x80 || code >= 0xc0);  // a character's first byte
        if (code == '\r') column = 1;
        if (code == '\n' || (first && column > 80)) row = std::min(row + 1, 25), column = 1;
        if (first) cells[row - 1][column++ - 1] = byte;
        else if (code >= 0x80 && column > 1) cells[row - 1][std::min(column, 81) - 2] += byte;
    }
    std::string text(int line) const
    {
        std::string joined;
        for (const std::string& cell : cells[line - 1]) joined += cell.empty() ? " " : cell;
        return joined.erase(joined.find_last_not_of(' ') + 1);
    }
    std::string whole() const
    {
        std::string all;
        for (int line = 1; line <= 25; ++line) all += text(line) + "\n";
        return all;
    }
    bool cursorOnAFreshLineUnderTheText() const
    {
        int below = 25;
        while (below > 0 && text(below).empty()) --below;
        return column == 1 && row == std::min(below + 1, 25);
    }
};

inline pid_t ptyJob = 0;  // in the stand-in for the shell: the game's process group

struct PtyGame {
    pid_t pid = -1;        // the game
    pid_t shell = -1;      // the stand-in for the shell, which ends as the game ended
    int master = -1;       // where the player types and the screen is read
    int slave = -1;        // kept open here, so the modes can be read after the game ends
    int inputMaster = -1;  // with a separate input terminal, which can be closed: where keys are typed
    termios modesBefore{};
    std::string output;    // everything the game wrote
    TerminalModel screen;  // what it shows

    explicit PtyGame(bool separateInput = false, unsigned short rows = 25)
    {
        winsize size{rows, 80, 0, 0};
        int input = -1;
        int pidPipe[2] = {-1, -1};
        if (openpty(&master, &slave, nullptr, nullptr, &size) != 0 || tcgetattr(slave, &modesBefore) != 0 ||
            (separateInput && openpty(&inputMaster, &input, nullptr, nullptr, &size) != 0) || pipe(pidPipe) != 0) {
            ADD_FAILURE() << "no pseudo-terminal";
            return;
        }
        shell = fork();
        if (shell == 0) runShell(separateInput ? input : slave, pidPipe[1]);
        close(pidPipe[1]);
        if (read(pidPipe[0], &pid, sizeof pid) != sizeof pid) ADD_FAILURE() << "the stand-in shell did not start the game";
        close(pidPipe[0]);
        if (separateInput) close(input);
    }
    PtyGame(const PtyGame&) = delete;
    ~PtyGame()
    {
        int status = 0;
        if (shell > 0 && waitpid(shell, &status, WNOHANG) == 0) kill(pid, SIGKILL), waitpid(shell, &status, 0);
        for (int descriptor : {master, slave, inputMaster}) close(descriptor);
    }

    // The stand-in for the shell: leads a session on the terminal, runs the
    // game as its foreground job, tells the test the game's process id, and
    // ends as the game ended. It takes the terminal on SIGUSR1, as a shell
    // does when its job stops, and gives it back to the game on SIGUSR2, as for fg.
    [[noreturn]] void runShell(int input, int pidPipe)
    {
        setsid();
        if (input == slave) ioctl(slave, TIOCSCTTY, 0);
        dup2(input, STDIN_FILENO), dup2(slave, STDOUT_FILENO), dup2(slave, STDERR_FILENO);
        pidPipe = dup2(pidPipe, STDERR_FILENO + 1);
        closefrom(pidPipe + 1);  // only the terminals' far ends stay open, or closing one would not end the input
        if ((ptyJob = fork()) == 0) {
            close(pidPipe), setpgid(0, 0), signal(SIGTTOU, SIG_IGN), tcsetpgrp(STDIN_FILENO, getpid()), signal(SIGTTOU, SIG_DFL);
            setenv("SDL_AUDIODRIVER", "dummy", 1), setenv("PULSE_SERVER", "unix:/nonexistent/hkh-no-server", 1);
            if (chdir(HKH_SOURCE_DIR) == 0) execl(HKH_GAME_BINARY, HKH_GAME_BINARY, nullptr);
            _exit(121);
        }
        setpgid(ptyJob, ptyJob);
        signal(SIGHUP, SIG_IGN), signal(SIGTTOU, SIG_IGN);  // the shell outlives the closing of the window
        for (int handover : {SIGUSR1, SIGUSR2}) {
            signal(handover, [](int number) { tcsetpgrp(STDIN_FILENO, number == SIGUSR1 ? getpgrp() : ptyJob); });
        }
        int status = 0;
        if (write(pidPipe, &ptyJob, sizeof ptyJob) != sizeof ptyJob) _exit(122);
        while (waitpid(ptyJob, &status, 0) != ptyJob) {
        }
        if (WIFEXITED(status)) _exit(WEXITSTATUS(status));
        signal(WTERMSIG(status), SIG_DFL), kill(getpid(), WTERMSIG(status));
        _exit(125);
    }

    // Takes in what the game has written, waiting at most `milliseconds` for it.
    void drain(int milliseconds = 50)
    {
        pollfd screenEnd{master, POLLIN, 0};
        char bytes[4096];
        ssize_t count = poll(&screenEnd, 1, milliseconds) > 0 ? read(master, bytes, sizeof bytes) : 0;
        for (ssize_t at = 0; at < count; ++at) screen.feed(bytes[at]);
        if (count > 0) output.append(bytes, static_cast<std::size_t>(count));
    }
    // Waits, taking in the output, until `done` holds; false after the limit.
    template <typename Done>
    bool waitUntil(Done done, std::chrono::seconds limit = std::chrono::seconds(60))
    {
        for (auto giveUp = std::chrono::steady_clock::now() + limit; !done(); drain()) {
            if (std::chrono::steady_clock::now() > giveUp) return false;
        }
        return true;
    }
    bool waitForText(const std::string& text, std::size_t from = 0)
    {
        return waitUntil([&] { return output.find(text, from) != std::string::npos; });
    }
    void type(const std::string& keys)
    {
        EXPECT_EQ(write(inputMaster >= 0 ? inputMaster : master, keys.data(), keys.size()), ssize_t(keys.size()));
    }
    termios modes() const
    {
        termios now{};
        tcgetattr(slave, &now);
        return now;
    }
    bool modesRestored() const
    {
        const termios now = modes();
        return std::memcmp(&now, &modesBefore, sizeof now) == 0;
    }
    // The game's wait status once it has ended, or -1 if it still ran after a minute.
    int waitForEnd()
    {
        int status = -1;
        if (!waitUntil([&] { return waitpid(shell, &status, WNOHANG) == shell; })) status = -1;
        drain(0);
        return status;
    }
};
