// The real game on a bare pseudo-terminal, watched from outside. The game
// runs as a job of its own under a stand-in for the shell, so it can be
// stopped and continued as from a shell; what it writes is kept whole, and
// copied to a tmux pane of the same size (tmux_pane.h), a real terminal that
// draws it. The game reaches no sound server and no sound device: the sound
// tier hears it.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "tests/support/tmux_pane.h"

inline pid_t ptyJob = 0;  // in the stand-in for the shell: the game's process group

struct PtyGame {
    pid_t pid = -1;        // the game
    pid_t shell = -1;      // the stand-in for the shell, which ends as the game ended
    int master = -1;       // where the player types and the screen is read
    int slave = -1;        // kept open here, so the modes can be read after the game ends
    int inputMaster = -1;  // with a separate input terminal, which can be closed: where keys are typed
    termios modesBefore{};
    std::string output;      // everything the game wrote
    TmuxPane drawn;          // the terminal that draws it
    int drawnTerminal = -1;  // that pane's own end, where the output is copied

    explicit PtyGame(bool separateInput = false, unsigned short rows = 25)
    {
        winsize size{rows, 80, 0, 0};
        int input = -1;
        int pidPipe[2] = {-1, -1};
        drawn = startPane({.command = "sleep infinity", .rows = rows, .recordStatus = false});
        const std::string drawnPath = runTmux(drawn, "display -p -t game '#{pane_tty}'");
        drawnTerminal = open(drawnPath.substr(0, drawnPath.find('\n')).c_str(), O_RDWR | O_NOCTTY);
        termios raw{};  // the bytes drawn as they came, the pane's answers not echoed
        tcgetattr(drawnTerminal, &raw);
        cfmakeraw(&raw);
        if (drawnTerminal < 0 || tcsetattr(drawnTerminal, TCSANOW, &raw) != 0 ||
            openpty(&master, &slave, nullptr, nullptr, &size) != 0 || tcgetattr(slave, &modesBefore) != 0 ||
            (separateInput && openpty(&inputMaster, &input, nullptr, nullptr, &size) != 0) || pipe(pidPipe) != 0) {
            ADD_FAILURE() << "no pseudo-terminal, or no tmux pane to draw it";
            return;
        }
        if ((shell = fork()) == 0) runShell(separateInput ? input : slave, pidPipe[1]);
        close(pidPipe[1]);
        if (read(pidPipe[0], &pid, sizeof pid) != sizeof pid) ADD_FAILURE() << "the stand-in shell started no game";
        for (int descriptor : {pidPipe[0], input}) close(descriptor);
    }
    PtyGame(const PtyGame&) = delete;
    ~PtyGame()
    {
        int status = 0;
        if (shell > 0 && waitpid(shell, &status, WNOHANG) == 0) kill(pid, SIGKILL), waitpid(shell, &status, 0);
        for (int descriptor : {master, slave, inputMaster, drawnTerminal}) close(descriptor);
        stopPane(drawn);
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
            close(pidPipe), setpgid(0, 0), signal(SIGTTOU, SIG_IGN), tcsetpgrp(STDIN_FILENO, getpid());
            signal(SIGTTOU, SIG_DFL);
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

    // Takes in what the game has written, waiting at most `milliseconds` for
    // it, and has the pane draw it.
    void drain(int milliseconds = 50)
    {
        pollfd screenEnd{master, POLLIN, 0};
        char bytes[4096];
        const ssize_t count = poll(&screenEnd, 1, milliseconds) > 0 ? read(master, bytes, sizeof bytes) : 0;
        if (count <= 0) return;
        output.append(bytes, static_cast<std::size_t>(count));
        EXPECT_EQ(write(drawnTerminal, bytes, static_cast<std::size_t>(count)), count);
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
    // The terminal signals the change itself.
    void resize(unsigned short rows)
    {
        winsize size{rows, 80, 0, 0};
        runTmux(drawn, "resize-window -t game -x 80 -y " + std::to_string(rows));
        EXPECT_EQ(ioctl(master, TIOCSWINSZ, &size), 0);
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

    // The rows the pane shows, and where its cursor stands (row, column):
    // asked that first, it has drawn everything copied before it answers.
    std::string screen(std::pair<int, int>* cursor = nullptr) const
    {
        std::pair<int, int> at;
        std::string reply;
        EXPECT_EQ(write(drawnTerminal, "\x1b[6n", 4), 4);
        pollfd answer{drawnTerminal, POLLIN, 0};
        for (char byte = 0; byte != 'R' && poll(&answer, 1, 10000) > 0 && read(drawnTerminal, &byte, 1) == 1;) {
            reply += byte;
        }
        std::sscanf(reply.c_str(), "\x1b[%d;%dR", &at.first, &at.second);
        if (cursor) *cursor = at;
        return captureText(drawn);
    }
    // The cursor at the start of the row under the last one that shows text,
    // or of the bottom row when that is the last.
    bool cursorOnAFreshLineUnderTheText() const
    {
        std::pair<int, int> cursor;
        std::istringstream rows(screen(&cursor));
        int row = 0;
        int textRows = 0;
        for (std::string line; std::getline(rows, line); ++row) {
            if (!line.empty()) textRows = row + 1;
        }
        winsize size{};
        ioctl(slave, TIOCGWINSZ, &size);
        return cursor == std::pair(std::min(textRows + 1, static_cast<int>(size.ws_row)), 1);
    }
};
