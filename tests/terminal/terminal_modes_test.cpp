// The real game on a real pseudo-terminal, watched from outside: however the
// terminal goes away or changes (a signal during a pause or a sound, Ctrl-C
// outside a key read, the end of input in a line read, a smaller window), the
// game ends (or goes on) and leaves the terminal's modes as it found them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string restoreSequence = "\x1b[0m\x1b[?25h";

struct GameOnTerminal {
    pid_t pid = -1;
    int master = -1;       // where the player types and the screen is read
    int slave = -1;        // kept open here, so the modes can be read after the game ends
    int inputMaster = -1;  // with a separate input terminal: where keys are typed
    int inputSlave = -1;
    std::string output;    // everything the game wrote
};

struct Launch {
    std::vector<std::string> command{HKH_GAME_BINARY};
    bool separateInput = false;  // keys from a terminal of their own, which can be closed
};

winsize screenSize(unsigned short rows, unsigned short columns) { return winsize{rows, columns, 0, 0}; }

void openTerminal(int& master, int& slave)
{
    winsize size = screenSize(25, 80);
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, &size), 0) << std::strerror(errno);
}

[[noreturn]] void runGameInChild(const GameOnTerminal& game, const Launch& launch)
{
    setsid();
    int input = launch.separateInput ? game.inputSlave : game.slave;
    if (!launch.separateInput) ioctl(game.slave, TIOCSCTTY, 0);
    dup2(input, STDIN_FILENO);
    dup2(game.slave, STDOUT_FILENO);
    dup2(game.slave, STDERR_FILENO);
    // Only the terminals' far ends stay open here, or closing one would not end the input.
    for (int descriptor : {game.master, game.inputMaster, game.slave, game.inputSlave}) {
        if (descriptor > STDERR_FILENO) close(descriptor);
    }
    if (chdir(HKH_SOURCE_DIR) != 0) _exit(120);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::vector<char*> arguments;
    for (const std::string& word : launch.command) arguments.push_back(const_cast<char*>(word.c_str()));
    arguments.push_back(nullptr);
    execvp(arguments[0], arguments.data());
    _exit(121);
}

GameOnTerminal startGame(const Launch& launch = {})
{
    GameOnTerminal game;
    openTerminal(game.master, game.slave);
    if (launch.separateInput) openTerminal(game.inputMaster, game.inputSlave);
    game.pid = fork();
    if (game.pid == 0) runGameInChild(game, launch);
    if (launch.separateInput) {
        close(game.inputSlave);
        game.inputSlave = -1;
    }
    return game;
}

// Takes in what the game has written, waiting at most `wait` for it.
void drainOutput(GameOnTerminal& game, std::chrono::milliseconds wait)
{
    pollfd screen{game.master, POLLIN, 0};
    if (poll(&screen, 1, static_cast<int>(wait.count())) <= 0 || !(screen.revents & POLLIN)) return;
    char bytes[4096];
    ssize_t count = read(game.master, bytes, sizeof bytes);
    if (count > 0) game.output.append(bytes, static_cast<std::size_t>(count));
}

bool waitForText(GameOnTerminal& game, const std::string& text, std::chrono::seconds limit = 30s)
{
    Clock::time_point giveUp = Clock::now() + limit;
    while (game.output.find(text) == std::string::npos) {
        if (Clock::now() > giveUp) return false;
        drainOutput(game, 50ms);
    }
    return true;
}

void typeKeys(const GameOnTerminal& game, const std::string& keys)
{
    int input = game.inputMaster >= 0 ? game.inputMaster : game.master;
    ASSERT_EQ(write(input, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
}

// The game's wait status once it has ended, or -1 if it is still running
// after the limit (it is then killed).
int waitForEnd(GameOnTerminal& game, std::chrono::seconds limit = 30s)
{
    Clock::time_point giveUp = Clock::now() + limit;
    for (;;) {
        int status = 0;
        if (waitpid(game.pid, &status, WNOHANG) == game.pid) {
            drainOutput(game, 0ms);
            return status;
        }
        if (Clock::now() > giveUp) {
            kill(game.pid, SIGKILL);
            waitpid(game.pid, &status, 0);
            return -1;
        }
        drainOutput(game, 20ms);
    }
}

void closeTerminals(GameOnTerminal& game)
{
    for (int* descriptor : {&game.master, &game.slave, &game.inputMaster, &game.inputSlave}) {
        if (*descriptor >= 0) close(*descriptor);
        *descriptor = -1;
    }
}

termios modesOf(int terminal)
{
    termios modes{};
    EXPECT_EQ(tcgetattr(terminal, &modes), 0) << std::strerror(errno);
    return modes;
}

void expectSameModes(const termios& before, const termios& after)
{
    EXPECT_EQ(before.c_iflag, after.c_iflag);
    EXPECT_EQ(before.c_oflag, after.c_oflag);
    EXPECT_EQ(before.c_cflag, after.c_cflag);
    EXPECT_EQ(before.c_lflag, after.c_lflag);
    for (int index : {VMIN, VTIME, VINTR, VSUSP, VEOF, VERASE}) {
        EXPECT_EQ(before.c_cc[index], after.c_cc[index]) << "control character " << index;
    }
}

bool endedBySignal(int status, int signalNumber) { return WIFSIGNALED(status) && WTERMSIG(status) == signalNumber; }

bool endedWithStatus(int status, int code) { return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == code; }

const std::string titleEnd = "while your 100 points last.";
const std::string instructionsQuestion = "Do you want instructions?  Y or N  ";
const std::string namePrompt = "What is your first name?  ";
const std::string letterPrompt = "Guess a letter ";

// From the title to the name prompt; the name is typed and Enter pressed, so
// the two opening sounds begin.
void answerTitle(GameOnTerminal& game)
{
    ASSERT_TRUE(waitForText(game, instructionsQuestion)) << game.output;
    typeKeys(game, "n");
    ASSERT_TRUE(waitForText(game, namePrompt)) << game.output;
    typeKeys(game, "Zoe\r");
}

TEST(TerminalGoingAway, SigtermDuringAPauseEndsTheGameAndRestoresTheModes)
{
    GameOnTerminal game = startGame();
    termios before = modesOf(game.slave);
    // The title lines are followed by a one-second pause before the question.
    ASSERT_TRUE(waitForText(game, titleEnd)) << game.output;
    bool questionShown = game.output.find(instructionsQuestion) != std::string::npos;
    kill(game.pid, SIGTERM);
    int status = waitForEnd(game);
    EXPECT_FALSE(questionShown) << "the pause was over before the signal";
    EXPECT_TRUE(endedBySignal(status, SIGTERM)) << status;
    expectSameModes(before, modesOf(game.slave));
    EXPECT_NE(game.output.find(restoreSequence), std::string::npos);
    closeTerminals(game);
}

TEST(TerminalGoingAway, SighupDuringASoundEndsTheGameAndRestoresTheModes)
{
    GameOnTerminal game = startGame();
    termios before = modesOf(game.slave);
    answerTitle(game);
    std::this_thread::sleep_for(500ms);  // the first opening sound lasts nearly 3 s
    kill(game.pid, SIGHUP);
    int status = waitForEnd(game);
    EXPECT_TRUE(endedBySignal(status, SIGHUP)) << status;
    EXPECT_EQ(game.output.find(letterPrompt), std::string::npos);
    expectSameModes(before, modesOf(game.slave));
    closeTerminals(game);
}

TEST(TerminalGoingAway, CtrlCOutsideAKeyReadEndsTheGameAndRestoresTheModes)
{
    GameOnTerminal game = startGame();
    termios before = modesOf(game.slave);
    answerTitle(game);
    std::this_thread::sleep_for(500ms);
    typeKeys(game, "\x03");  // during the opening sound: the terminal's own Ctrl-C
    int status = waitForEnd(game);
    EXPECT_TRUE(endedBySignal(status, SIGINT)) << status;
    expectSameModes(before, modesOf(game.slave));
    closeTerminals(game);
}

TEST(TerminalGoingAway, CtrlCAtAKeyReadIsOnlyAKey)
{
    GameOnTerminal game = startGame();
    termios before = modesOf(game.slave);
    ASSERT_TRUE(waitForText(game, instructionsQuestion)) << game.output;
    typeKeys(game, "\x03");  // not an answer: the question is asked again
    typeKeys(game, "\x1b");
    EXPECT_TRUE(waitForText(game, "Press ESCAPE to exit ")) << game.output;
    typeKeys(game, "\x1b");
    int status = waitForEnd(game);
    EXPECT_TRUE(endedWithStatus(status, 0)) << status;
    expectSameModes(before, modesOf(game.slave));
    closeTerminals(game);
}

// The input ends in the middle of a line: no prompt could be answered any
// more, so the game ends at once with status 0. The input terminal is gone by
// then; the screen's terminal still sees the modes put back.
TEST(TerminalGoingAway, EndOfInputInALineReadEndsTheGame)
{
    GameOnTerminal game = startGame(Launch{.separateInput = true});
    ASSERT_TRUE(waitForText(game, instructionsQuestion)) << game.output;
    typeKeys(game, "n");
    ASSERT_TRUE(waitForText(game, namePrompt)) << game.output;
    typeKeys(game, "Zo");
    ASSERT_TRUE(waitForText(game, namePrompt + "Zo")) << game.output;
    close(game.inputMaster);
    game.inputMaster = -1;
    int status = waitForEnd(game, 10s);
    EXPECT_TRUE(endedWithStatus(status, 0)) << status;
    EXPECT_NE(game.output.find(restoreSequence), std::string::npos);
    closeTerminals(game);
}

// The window is closed during a line read: the terminal hangs up, and the
// game ends at once instead of waiting or spinning on a dead terminal.
TEST(TerminalGoingAway, ClosingTheWindowEndsTheGame)
{
    GameOnTerminal game = startGame();
    ASSERT_TRUE(waitForText(game, instructionsQuestion)) << game.output;
    typeKeys(game, "n");
    ASSERT_TRUE(waitForText(game, namePrompt)) << game.output;
    close(game.slave);  // only the game holds the terminal now
    game.slave = -1;
    close(game.master);
    game.master = -1;
    int status = 0;
    Clock::time_point giveUp = Clock::now() + 10s;
    while (waitpid(game.pid, &status, WNOHANG) != game.pid && Clock::now() < giveUp) std::this_thread::sleep_for(20ms);
    const bool ended = Clock::now() < giveUp;
    if (!ended) {
        kill(game.pid, SIGKILL);
        waitpid(game.pid, &status, 0);
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(endedBySignal(status, SIGHUP) || endedWithStatus(status, 0)) << status;
    closeTerminals(game);
}

TEST(TerminalChanging, ASmallerWindowInTheMiddleOfARoundLetsTheRoundGoOn)
{
    GameOnTerminal game = startGame();
    termios before = modesOf(game.slave);
    answerTitle(game);
    ASSERT_TRUE(waitForText(game, letterPrompt)) << game.output;
    winsize smaller = screenSize(20, 60);
    ASSERT_EQ(ioctl(game.master, TIOCSWINSZ, &smaller), 0);  // the terminal signals the change itself
    kill(game.pid, SIGWINCH);
    typeKeys(game, "e");
    EXPECT_TRUE(waitForText(game, "Guess, Review or Pass, G, R or P ")) << game.output;
    typeKeys(game, "\x1b");  // to the session summary and the farewell
    ASSERT_TRUE(waitForText(game, "Press escape to exit ")) << game.output;
    typeKeys(game, "\x1b");
    int status = waitForEnd(game);
    EXPECT_TRUE(endedWithStatus(status, 0)) << status;
    expectSameModes(before, modesOf(game.slave));
    closeTerminals(game);
}

}  // namespace

namespace {

std::string fileText(const std::string& path)
{
    std::ifstream file(path);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The title flow of a build without the sanitizers, under valgrind: from the
// title through the name and the opening sounds into the first round, then
// out through the session summary and the farewell. Suppressions, if any,
// cover system libraries only (terminal/valgrind.supp says which and why).
TEST(UnderValgrind, TheTitleFlowHasNoErrorsAndNoDefiniteLeaks)
{
    if (std::system("valgrind --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "valgrind is not installed";
    char pattern[] = "/tmp/hkh-valgrind-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string log = std::string(pattern) + "/valgrind.log";
    Launch launch;
    launch.command = {"valgrind", "--error-exitcode=99", "--leak-check=full", "--show-leak-kinds=definite",
                      "--errors-for-leak-kinds=definite", "--suppressions=" HKH_VALGRIND_SUPPRESSIONS,
                      "--log-file=" + log, HKH_PLAIN_GAME_BINARY};
    GameOnTerminal game = startGame(launch);
    ASSERT_TRUE(waitForText(game, instructionsQuestion, 120s)) << game.output;
    typeKeys(game, "n");
    ASSERT_TRUE(waitForText(game, namePrompt, 60s)) << game.output;
    typeKeys(game, "Zoe\r");
    ASSERT_TRUE(waitForText(game, letterPrompt, 60s)) << game.output;
    typeKeys(game, "\x1b");
    ASSERT_TRUE(waitForText(game, "Press escape to exit ", 60s)) << game.output;
    typeKeys(game, "\x1b");
    int status = waitForEnd(game, 120s);
    const std::string report = fileText(log);
    std::size_t summary = report.find("HEAP SUMMARY");
    if (summary != std::string::npos) std::cout << report.substr(summary);
    EXPECT_TRUE(endedWithStatus(status, 0)) << status << "\n" << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
    const bool noDefiniteLeak = report.find("definitely lost: 0 bytes") != std::string::npos ||
                                report.find("All heap blocks were freed") != std::string::npos;
    EXPECT_TRUE(noDefiniteLeak) << report;
    std::filesystem::remove_all(pattern);
    closeTerminals(game);
}

}  // namespace
