// The real game on a real pseudo-terminal, watched from outside: however the
// terminal goes away or changes (a signal during a pause or a sound, Ctrl-C
// outside a key read, the end of input in a line read, a stop, a smaller
// window), the game ends (or goes on) and leaves the terminal's modes as it
// found them, and its screen, as a terminal draws it, is what it was.
// The game runs as a job of its own under a stand-in for the shell, so it
// can be stopped and continued as from a shell.
#include <gtest/gtest.h>

#include <fcntl.h>
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

// The screen as an 80x25 terminal draws what the game writes: characters
// (emoji in two cells), line breaks, backspace, cursor moves, clears and
// erases to the end of the row;
// other sequences change nothing drawn.
struct ScreenReader {
    std::array<std::array<std::string, 80>, 25> cells;
    int column = 1;  // 81: the next character wraps
    int row = 1;
    std::string pending;  // an escape sequence or a character not yet whole

    ScreenReader() { clear(); }
    void clear()
    {
        for (auto& line : cells) line.fill(" ");
    }
    void newLine()
    {
        column = 1;
        if (row < 25) {
            ++row;
            return;
        }
        std::move(cells.begin() + 1, cells.end(), cells.begin());
        cells[24].fill(" ");
    }
    void put(const std::string& character)
    {
        const auto lead = static_cast<unsigned char>(character[0]);
        const int width = (lead == 0xF0 && static_cast<unsigned char>(character[1]) >= 0x9F) ? 2 : 1;
        if (column + width - 1 > 80) newLine();
        cells[row - 1][column - 1] = character;
        if (width == 2) cells[row - 1][column] = "";
        column += width;
    }
    void control(const std::string& sequence)
    {
        if (sequence.size() < 3) return;
        const char final = sequence.back();
        int numbers[2] = {1, 1};
        std::sscanf(sequence.c_str() + 2, "%d;%d", &numbers[0], &numbers[1]);
        if (final == 'H') {
            row = std::clamp(numbers[0], 1, 25);
            column = std::clamp(numbers[1], 1, 80);
        } else if (final == 'J' && sequence == "\x1b[2J") {
            clear();
        } else if (sequence == "\x1b[K") {
            std::fill(cells[row - 1].begin() + std::min(column, 81) - 1, cells[row - 1].end(), " ");
        }
    }
    // Whether `pending` is a whole escape sequence or character yet.
    bool pendingIsWhole() const
    {
        const auto first = static_cast<unsigned char>(pending[0]);
        const auto last = static_cast<unsigned char>(pending.back());
        if (first == 0x1b) return pending.size() == 2 ? last != '[' : pending.size() > 2 && last >= 0x40 && last <= 0x7e;
        if (first < 0x80) return true;
        return pending.size() == (first >= 0xF0 ? 4u : first >= 0xE0 ? 3u : 2u);
    }
    // Takes one byte of what the game wrote.
    void feed(unsigned char byte)
    {
        pending.push_back(static_cast<char>(byte));
        if (!pendingIsWhole()) return;
        std::string item;
        item.swap(pending);
        if (item[0] == '\x1b') return control(item);  // ESC > and the like change nothing drawn
        if (byte >= 0x80 || (byte >= 0x20 && byte < 0x7f)) return put(item);
        if (byte == '\r') column = 1;
        if (byte == '\n') newLine();
        if (byte == '\b' && column > 1) column = std::min(column, 80) - 1;
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
};

struct GameOnTerminal {
    pid_t pid = -1;        // the game
    pid_t shell = -1;      // the stand-in for the shell, which ends as the game ended
    int master = -1;       // where the player types and the screen is read
    int slave = -1;        // kept open here, so the modes can be read after the game ends
    int inputMaster = -1;  // with a separate input terminal: where keys are typed
    int inputSlave = -1;
    termios modesBefore{}; // the terminal's modes before the game started
    std::string output;    // everything the game wrote
    ScreenReader screen;   // what it shows
};

winsize screenSize(unsigned short rows, unsigned short columns) { return winsize{rows, columns, 0, 0}; }

struct Launch {
    std::vector<std::string> command{HKH_GAME_BINARY};
    bool separateInput = false;  // keys from a terminal of their own, which can be closed
    winsize size = screenSize(25, 80);
};

void openTerminal(int& master, int& slave, winsize size = screenSize(25, 80))
{
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, &size), 0) << std::strerror(errno);
}

[[noreturn]] void runGame(const Launch& launch)
{
    if (chdir(HKH_SOURCE_DIR) != 0) _exit(120);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::vector<char*> arguments;
    for (const std::string& word : launch.command) arguments.push_back(const_cast<char*>(word.c_str()));
    arguments.push_back(nullptr);
    execvp(arguments[0], arguments.data());
    _exit(121);
}

// Ends as the game ended: with its status, or by its signal.
[[noreturn]] void endAsTheGame(int status)
{
    if (WIFEXITED(status)) _exit(WEXITSTATUS(status));
    signal(WTERMSIG(status), SIG_DFL);
    kill(getpid(), WTERMSIG(status));
    _exit(125);
}

pid_t jobGroup = 0;  // in the stand-in for the shell: the game's process group

// The stand-in takes the terminal on SIGUSR1, as a shell does when its job
// stops, and gives it back to the game on SIGUSR2, as for fg.
void onTerminalHandover(int signalNumber)
{
    tcsetpgrp(STDIN_FILENO, signalNumber == SIGUSR1 ? getpgrp() : jobGroup);
}

// The game as a job of its own, in the foreground of the terminal.
pid_t startJob(const Launch& launch, int pidPipe)
{
    pid_t gamePid = fork();
    if (gamePid == 0) {
        setpgid(0, 0);
        signal(SIGTTOU, SIG_IGN);
        tcsetpgrp(STDIN_FILENO, getpid());
        signal(SIGTTOU, SIG_DFL);
        close(pidPipe);
        runGame(launch);
    }
    setpgid(gamePid, gamePid);
    jobGroup = gamePid;
    return gamePid;
}

// The stand-in for the shell: leads a session on the terminal and runs the
// game as its foreground job, telling the test the game's process id.
[[noreturn]] void runShell(const GameOnTerminal& game, const Launch& launch, int pidPipe)
{
    setsid();
    const int input = launch.separateInput ? game.inputSlave : game.slave;
    if (!launch.separateInput) ioctl(game.slave, TIOCSCTTY, 0);
    dup2(input, STDIN_FILENO);
    dup2(game.slave, STDOUT_FILENO);
    dup2(game.slave, STDERR_FILENO);
    // Only the terminals' far ends stay open here, or closing one would not end the input.
    for (int descriptor : {game.master, game.inputMaster, game.slave, game.inputSlave}) {
        if (descriptor > STDERR_FILENO) close(descriptor);
    }
    const pid_t gamePid = startJob(launch, pidPipe);
    signal(SIGHUP, SIG_IGN);  // the shell outlives the closing of the window
    signal(SIGTTOU, SIG_IGN);
    signal(SIGUSR1, onTerminalHandover);
    signal(SIGUSR2, onTerminalHandover);
    if (write(pidPipe, &gamePid, sizeof gamePid) != sizeof gamePid) _exit(122);
    close(pidPipe);
    int status = 0;
    while (waitpid(gamePid, &status, 0) != gamePid) {
    }
    endAsTheGame(status);
}

GameOnTerminal startGame(const Launch& launch = {})
{
    GameOnTerminal game;
    openTerminal(game.master, game.slave, launch.size);
    if (launch.separateInput) openTerminal(game.inputMaster, game.inputSlave);
    EXPECT_EQ(tcgetattr(game.slave, &game.modesBefore), 0);
    int pidPipe[2];
    EXPECT_EQ(pipe(pidPipe), 0);
    game.shell = fork();
    if (game.shell == 0) {
        close(pidPipe[0]);
        runShell(game, launch, pidPipe[1]);
    }
    close(pidPipe[1]);
    EXPECT_EQ(read(pidPipe[0], &game.pid, sizeof game.pid), static_cast<ssize_t>(sizeof game.pid));
    close(pidPipe[0]);
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
    if (count <= 0) return;
    game.output.append(bytes, static_cast<std::size_t>(count));
    for (ssize_t i = 0; i < count; ++i) game.screen.feed(static_cast<unsigned char>(bytes[i]));
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
        if (waitpid(game.shell, &status, WNOHANG) == game.shell) {
            drainOutput(game, 0ms);
            return status;
        }
        if (Clock::now() > giveUp) {
            kill(game.pid, SIGKILL);
            waitpid(game.shell, &status, 0);
            return -1;
        }
        drainOutput(game, 20ms);
    }
}

void closeTerminals(GameOnTerminal& game)
{
    int status = 0;
    if (waitpid(game.shell, &status, WNOHANG) == 0) {
        kill(game.pid, SIGKILL);
        waitpid(game.shell, &status, 0);
    }
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
    for (int index : {VMIN, VTIME, VINTR, VQUIT, VSUSP, VEOF, VERASE}) {
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
    const termios before = game.modesBefore;
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

TEST(TerminalGoingAway, SighupDuringASoundEndsTheGameWithStatus0AndRestoresTheModes)
{
    GameOnTerminal game = startGame();
    const termios before = game.modesBefore;
    answerTitle(game);
    std::this_thread::sleep_for(500ms);  // the first opening sound lasts nearly 3 s
    kill(game.pid, SIGHUP);
    int status = waitForEnd(game);
    EXPECT_TRUE(endedWithStatus(status, 0)) << status;  // as the end of input does
    EXPECT_EQ(game.output.find(letterPrompt), std::string::npos);
    expectSameModes(before, modesOf(game.slave));
    closeTerminals(game);
}

TEST(TerminalGoingAway, CtrlCOutsideAKeyReadEndsTheGameAndRestoresTheModes)
{
    GameOnTerminal game = startGame();
    const termios before = game.modesBefore;
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
    const termios before = game.modesBefore;
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
    while (waitpid(game.shell, &status, WNOHANG) != game.shell && Clock::now() < giveUp) std::this_thread::sleep_for(20ms);
    const bool ended = Clock::now() < giveUp;
    if (!ended) {
        kill(game.pid, SIGKILL);
        waitpid(game.shell, &status, 0);
    }
    EXPECT_TRUE(ended);
    EXPECT_TRUE(endedWithStatus(status, 0)) << status;
    closeTerminals(game);
}

std::string fileText(const std::string& path)
{
    std::ifstream file(path);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool waitForScreen(GameOnTerminal& game, const std::string& screen, std::chrono::seconds limit = 10s)
{
    Clock::time_point giveUp = Clock::now() + limit;
    while (game.screen.whole() != screen && Clock::now() < giveUp) drainOutput(game, 50ms);
    return game.screen.whole() == screen;
}

bool waitForStop(pid_t pid)
{
    const std::string statFile = "/proc/" + std::to_string(pid) + "/stat";
    for (Clock::time_point giveUp = Clock::now() + 10s; Clock::now() < giveUp; std::this_thread::sleep_for(10ms)) {
        std::string stat = fileText(statFile);
        std::size_t nameEnd = stat.rfind(')');
        if (nameEnd != std::string::npos && stat.compare(nameEnd + 2, 1, "T") == 0) return true;
    }
    return false;
}

int rowBelowText(const ScreenReader& screen)
{
    int row = 25;
    while (row > 0 && screen.text(row).empty()) --row;
    return row + 1;
}

// The shell takes the terminal, or gives it back to the game.
void handOverTerminal(const GameOnTerminal& game, bool toTheShell)
{
    kill(game.shell, toTheShell ? SIGUSR1 : SIGUSR2);
    const pid_t owner = toTheShell ? game.shell : game.pid;
    Clock::time_point giveUp = Clock::now() + 10s;
    while (tcgetpgrp(game.master) != owner && Clock::now() < giveUp) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(tcgetpgrp(game.master), owner);
}

// Continued while the shell holds the terminal (kill -CONT without fg), the
// game draws nothing and stops again, until it is in the foreground.
void continueInTheBackground(GameOnTerminal& game)
{
    handOverTerminal(game, true);
    const std::size_t written = game.output.size();
    kill(game.pid, SIGCONT);
    ASSERT_TRUE(waitForStop(game.pid));
    drainOutput(game, 100ms);
    EXPECT_EQ(game.output.size(), written);
    handOverTerminal(game, false);
}

// Stopped from outside: the terminal is as before the game, the cursor on a
// fresh line under the game's text; the shell then writes over the screen.
// Continued: the game's modes again and its screen as it was.
void stopAndContinue(GameOnTerminal& game, bool continuedInTheBackgroundFirst = false)
{
    drainOutput(game, 100ms);
    const std::string screen = game.screen.whole();
    kill(game.pid, SIGTSTP);
    ASSERT_TRUE(waitForStop(game.pid));
    drainOutput(game, 100ms);
    expectSameModes(game.modesBefore, modesOf(game.slave));
    EXPECT_EQ(game.screen.row, rowBelowText(game.screen));
    EXPECT_EQ(game.screen.column, 1);
    const std::string shellLines = "\r\n[1]+  Stopped   happy-koalas-hum\r\n$ ls\r\nlex  data\r\n$ fg\r\n";
    ASSERT_EQ(write(game.slave, shellLines.data(), shellLines.size()), static_cast<ssize_t>(shellLines.size()));
    ASSERT_TRUE(waitForText(game, "$ fg")) << game.output;
    if (continuedInTheBackgroundFirst) continueInTheBackground(game);
    kill(game.pid, SIGCONT);
    EXPECT_TRUE(waitForScreen(game, screen)) << game.screen.whole();
    EXPECT_EQ(modesOf(game.slave).c_lflag & (ICANON | ECHO), 0u);
}

TEST(TerminalStopping, AStopAtAPromptPutsTheTerminalBackAndTheContinueRedrawsTheScreen)
{
    GameOnTerminal game = startGame();
    ASSERT_TRUE(waitForText(game, instructionsQuestion)) << game.output;
    stopAndContinue(game, true);
    typeKeys(game, "n");
    EXPECT_TRUE(waitForText(game, namePrompt)) << game.output;
    closeTerminals(game);
}

// Ctrl-\ is only a key there: the game goes on, and takes it after the sound.
TEST(TerminalStopping, AStopDuringASoundPutsTheTerminalBackAndTheContinueRedrawsTheScreen)
{
    GameOnTerminal game = startGame();
    answerTitle(game);
    std::this_thread::sleep_for(500ms);  // the first opening sound lasts nearly 3 s
    typeKeys(game, "\x1c");
    stopAndContinue(game);
    EXPECT_TRUE(waitForText(game, letterPrompt)) << game.output;
    closeTerminals(game);
}

// The window shrinks at a letter prompt: the request for room stands over the
// round; the window grows back: the round screen as it was, and play goes on.
TEST(TerminalChanging, AWindowShrunkAndGrownBackMidRoundShowsTheSameScreen)
{
    GameOnTerminal game = startGame();
    answerTitle(game);
    ASSERT_TRUE(waitForText(game, letterPrompt)) << game.output;
    drainOutput(game, 100ms);
    const std::string roundScreen = game.screen.whole();
    winsize smaller = screenSize(24, 80);
    ASSERT_EQ(ioctl(game.master, TIOCSWINSZ, &smaller), 0);  // the terminal signals the change itself
    EXPECT_TRUE(waitForText(game, "Press Escape to leave the game")) << game.output;
    winsize full = screenSize(25, 80);
    ASSERT_EQ(ioctl(game.master, TIOCSWINSZ, &full), 0);
    EXPECT_TRUE(waitForScreen(game, roundScreen)) << game.screen.whole();
    typeKeys(game, "e");
    EXPECT_TRUE(waitForText(game, "Guess, Review or Pass, G, R or P ")) << game.output;
    closeTerminals(game);
}

// The request for room ends the game at Ctrl-C as outside a key read.
TEST(TerminalChanging, CtrlCAtTheRequestForRoomEndsTheGameAsAnInterrupt)
{
    GameOnTerminal game = startGame(Launch{.size = screenSize(24, 80)});
    ASSERT_TRUE(waitForText(game, "Press Escape to leave the game")) << game.output;
    typeKeys(game, "\x03");
    int status = waitForEnd(game);
    EXPECT_TRUE(endedBySignal(status, SIGINT)) << status;
    expectSameModes(game.modesBefore, modesOf(game.slave));
    closeTerminals(game);
}

// Signals that end a program by default: the terminal put back, the cursor on
// a fresh line under the game's text, the game ended by the signal.
TEST(TerminalGoingAway, UsrAndPipeSignalsEndTheGameAndRestoreTheModes)
{
    for (int signalNumber : {SIGUSR1, SIGPIPE}) {
        GameOnTerminal game = startGame();
        ASSERT_TRUE(waitForText(game, instructionsQuestion)) << game.output;
        kill(game.pid, signalNumber);
        int status = waitForEnd(game);
        EXPECT_TRUE(endedBySignal(status, signalNumber)) << status;
        expectSameModes(game.modesBefore, modesOf(game.slave));
        EXPECT_EQ(game.screen.row, rowBelowText(game.screen));
        EXPECT_EQ(game.screen.column, 1);
        closeTerminals(game);
    }
}

// C1 controls pasted into the name are neither echoed nor stored; Backspace
// over an emoji erases both its cells and all its bytes. The prompt row shows
// what is stored, which the greeting prints.
TEST(TerminalTyping, ANameWithC1ControlsAndAnErasedEmojiShowsWhatItStores)
{
    const std::string typed = "Ab\xc2\x9b" "2J\xc2\x90\xf0\x9f\x98\x80\xf0\x9f\x98\x80\x7fx\r";
    const std::string stored = "Ab2J\xf0\x9f\x98\x80x";
    GameOnTerminal game = startGame();
    ASSERT_TRUE(waitForText(game, instructionsQuestion)) << game.output;
    typeKeys(game, "n");
    ASSERT_TRUE(waitForText(game, namePrompt)) << game.output;
    typeKeys(game, typed);
    Clock::time_point giveUp = Clock::now() + 10s;
    while (game.screen.text(22) != namePrompt + stored && Clock::now() < giveUp) drainOutput(game, 50ms);
    EXPECT_EQ(game.screen.text(22), namePrompt + stored);
    EXPECT_TRUE(waitForText(game, "Okay " + stored + " time to  hum!")) << game.output;
    for (const char* c1 : {"\xc2\x9b", "\xc2\x90"}) EXPECT_EQ(game.output.find(c1), std::string::npos);
    closeTerminals(game);
}

}  // namespace

namespace {

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
