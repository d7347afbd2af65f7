// The real game on a bare pseudo-terminal, watched from outside. The game
// runs as a job of its own under a stand-in for the shell, so it can be
// stopped and continued as from a shell; what it writes is kept whole, and
// read back through a model of the 80x25 terminal it draws on.
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
#include <string>
#include <thread>
#include <vector>

// What a terminal shows of the game's output: characters (a UTF-8 character
// in one cell), line ends, cursor moves and clears; other sequences draw nothing.
struct TerminalModel {
    std::array<std::array<std::string, 80>, 25> cells;
    int column = 1;  // 81: the next character wraps
    int row = 1;
    std::string sequence;  // an escape sequence not yet whole

    void newLine()
    {
        column = 1;
        if (row < 25) return void(++row);
        std::move(cells.begin() + 1, cells.end(), cells.begin());
        cells[24].fill(" ");
    }
    void apply(const std::string& escape)
    {
        int numbers[2] = {1, 1};
        std::sscanf(escape.c_str() + 2, "%d;%d", &numbers[0], &numbers[1]);
        if (escape.back() == 'H') row = std::clamp(numbers[0], 1, 25), column = std::clamp(numbers[1], 1, 80);
        if (escape == "\x1b[2J") for (auto& line : cells) line.fill(" ");
    }
    void feed(unsigned char byte)
    {
        if (!sequence.empty() || byte == 0x1b) {
            sequence.push_back(static_cast<char>(byte));
            if (sequence.size() == 2 ? byte == '[' : sequence.size() < 2 || byte < 0x40 || byte > 0x7e) return;
            apply(sequence);
            return sequence.clear();
        }
        if (byte == '\r') column = 1;
        if (byte == '\n') newLine();
        if (byte == '\b' && column > 1) column = std::min(column, 80) - 1;
        if (byte >= 0x80 && byte < 0xc0 && column > 1) cells[row - 1][std::min(column, 81) - 2] += static_cast<char>(byte);
        if (byte < 0x20 || byte == 0x7f || (byte >= 0x80 && byte < 0xc0)) return;
        if (column > 80) newLine();
        cells[row - 1][column++ - 1] = std::string(1, static_cast<char>(byte));
    }
    std::string text(int line) const
    {
        std::string joined;
        for (const std::string& cell : cells[line - 1]) joined += cell;
        return joined.erase(joined.find_last_not_of(' ') + 1);
    }
    std::string whole() const
    {
        std::string all;
        for (int line = 1; line <= 25; ++line) all += text(line) + "\n";
        return all;
    }
    int rowBelowText() const
    {
        int below = 25;
        while (below > 0 && text(below).empty()) --below;
        return below + 1;
    }
};

struct PtyLaunch {
    std::vector<std::string> command{HKH_GAME_BINARY};
    bool separateInput = false;  // keys from a terminal of their own, which can be closed
    winsize size{25, 80, 0, 0};
};

struct PtyGame {
    pid_t pid = -1;        // the game
    pid_t shell = -1;      // the stand-in for the shell, which ends as the game ended
    int master = -1;       // where the player types and the screen is read
    int slave = -1;        // kept open here, so the modes can be read after the game ends
    int inputMaster = -1;  // with a separate input terminal: where keys are typed
    termios modesBefore{};
    std::string output;    // everything the game wrote
    TerminalModel screen;  // what it shows

    PtyGame() { screen.apply("\x1b[2J"); }
    PtyGame(const PtyGame&) = delete;
    ~PtyGame()
    {
        int status = 0;
        if (shell > 0 && waitpid(shell, &status, WNOHANG) == 0) kill(pid, SIGKILL), waitpid(shell, &status, 0);
        for (int descriptor : {master, slave, inputMaster}) {
            if (descriptor >= 0) close(descriptor);
        }
    }
};

namespace pty_game {

inline pid_t jobGroup = 0;  // in the stand-in for the shell: the game's process group

// The stand-in takes the terminal on SIGUSR1, as a shell does when its job
// stops, and gives it back to the game on SIGUSR2, as for fg.
inline void handOver(int signalNumber) { tcsetpgrp(STDIN_FILENO, signalNumber == SIGUSR1 ? getpgrp() : jobGroup); }

// The stand-in for the shell: leads a session on the terminal, runs the game
// as its foreground job, tells the test the game's process id and ends as
// the game ended, with its status or by its signal.
[[noreturn]] inline void runShell(const PtyLaunch& launch, int input, int output, int pidPipe)
{
    setsid();
    if (input == output) ioctl(output, TIOCSCTTY, 0);
    dup2(input, STDIN_FILENO);
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    // Only the terminals' far ends stay open, or closing one would not end the input.
    pidPipe = dup2(pidPipe, STDERR_FILENO + 1);
    closefrom(pidPipe + 1);
    pid_t game = fork();
    if (game == 0) {
        setpgid(0, 0);
        signal(SIGTTOU, SIG_IGN);
        tcsetpgrp(STDIN_FILENO, getpid());
        signal(SIGTTOU, SIG_DFL);
        close(pidPipe);
        if (chdir(HKH_SOURCE_DIR) != 0) _exit(120);
        // No sound server or device: the sound tier hears the game.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("PULSE_SERVER", "unix:/nonexistent/hkh-no-server", 1);
        std::vector<char*> arguments;
        for (const std::string& word : launch.command) arguments.push_back(const_cast<char*>(word.c_str()));
        arguments.push_back(nullptr);
        execvp(arguments[0], arguments.data());
        _exit(121);
    }
    setpgid(game, game);
    jobGroup = game;
    signal(SIGHUP, SIG_IGN);  // the shell outlives the closing of the window
    signal(SIGTTOU, SIG_IGN);
    signal(SIGUSR1, handOver);
    signal(SIGUSR2, handOver);
    if (write(pidPipe, &game, sizeof game) != sizeof game) _exit(122);
    int status = 0;
    while (waitpid(game, &status, 0) != game) {
    }
    if (WIFEXITED(status)) _exit(WEXITSTATUS(status));
    signal(WTERMSIG(status), SIG_DFL);
    kill(getpid(), WTERMSIG(status));
    _exit(125);
}

}  // namespace pty_game

inline void startGame(PtyGame& game, const PtyLaunch& launch = {})
{
    winsize size = launch.size;
    ASSERT_EQ(openpty(&game.master, &game.slave, nullptr, nullptr, &size), 0);
    int input = game.slave;
    if (launch.separateInput && openpty(&game.inputMaster, &input, nullptr, nullptr, &size) != 0) FAIL();
    ASSERT_EQ(tcgetattr(game.slave, &game.modesBefore), 0);
    int pidPipe[2];
    ASSERT_EQ(pipe(pidPipe), 0);
    game.shell = fork();
    if (game.shell == 0) pty_game::runShell(launch, input, game.slave, pidPipe[1]);
    close(pidPipe[1]);
    ASSERT_EQ(read(pidPipe[0], &game.pid, sizeof game.pid), static_cast<ssize_t>(sizeof game.pid));
    close(pidPipe[0]);
    if (launch.separateInput) close(input);
}

// Takes in what the game has written, waiting at most `wait` for it.
inline void drainOutput(PtyGame& game, std::chrono::milliseconds wait = std::chrono::milliseconds(50))
{
    pollfd screen{game.master, POLLIN, 0};
    if (poll(&screen, 1, static_cast<int>(wait.count())) <= 0 || !(screen.revents & POLLIN)) return;
    char bytes[4096];
    ssize_t count = read(game.master, bytes, sizeof bytes);
    for (ssize_t i = 0; i < count; ++i) game.screen.feed(static_cast<unsigned char>(bytes[i]));
    if (count > 0) game.output.append(bytes, static_cast<std::size_t>(count));
}

// Waits, taking in the output, until `done` holds; false after the limit.
template <typename Done>
bool waitUntil(PtyGame& game, Done done, std::chrono::seconds limit = std::chrono::seconds(60))
{
    for (auto giveUp = std::chrono::steady_clock::now() + limit; !done(); drainOutput(game)) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
    }
    return true;
}

inline bool waitForText(PtyGame& game, const std::string& text, std::size_t from = 0)
{
    return waitUntil(game, [&] { return game.output.find(text, from) != std::string::npos; });
}

inline void typeKeys(const PtyGame& game, const std::string& keys)
{
    ASSERT_EQ(write(game.inputMaster >= 0 ? game.inputMaster : game.master, keys.data(), keys.size()),
              static_cast<ssize_t>(keys.size()));
}

inline termios modesOf(int terminal)
{
    termios modes{};
    tcgetattr(terminal, &modes);
    return modes;
}

// Ctrl-C keeps its signal outside key reads: the terminal shows when the
// game has left one (to play a sound, say).
inline bool waitOutsideKeyRead(PtyGame& game)
{
    return waitUntil(game, [&] { return (modesOf(game.slave).c_lflag & ISIG) != 0; });
}

inline bool sameModes(const termios& before, const termios& after)
{
    bool same = before.c_iflag == after.c_iflag && before.c_oflag == after.c_oflag &&
                before.c_cflag == after.c_cflag && before.c_lflag == after.c_lflag;
    for (int index : {VMIN, VTIME, VINTR, VQUIT, VSUSP, VEOF, VERASE}) same &= before.c_cc[index] == after.c_cc[index];
    return same;
}

// The game's wait status once it has ended, or -1 if it still ran after the limit.
inline int waitForEnd(PtyGame& game, std::chrono::seconds limit = std::chrono::seconds(60))
{
    int status = -1;
    waitUntil(game, [&] { return waitpid(game.shell, &status, WNOHANG) == game.shell || (status = -1, false); }, limit);
    if (game.master >= 0) drainOutput(game, std::chrono::milliseconds(0));
    return status;
}
