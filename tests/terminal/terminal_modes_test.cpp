// The real game on a bare pseudo-terminal under a stand-in shell
// (tests/support/pty_game.h): however the terminal goes away or changes (a
// signal in a pause or a sound, Ctrl-C in or outside a key read, the end of
// input, a closed window, a stop, a smaller window), the game ends or goes
// on as a player expects, and leaves the terminal's modes as it found them,
// the cursor on a fresh line under its text; continued or given room again,
// it shows the screen it showed.
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

#include "tests/support/pty_game.h"

namespace {

using namespace std::chrono_literals;

const std::string titleEnd = "while your 100 points last.";
const std::string question = "Do you want instructions?  Y or N  ";
const std::string namePrompt = "What is your first name?  ";
const std::string roomRequest = "Press Escape to leave the game";

// From the title into the opening sound, which follows the name.
void playIntoTheOpeningSound(PtyGame& game)
{
    ASSERT_TRUE(waitForText(game, question)) << game.output;
    typeKeys(game, "n");
    ASSERT_TRUE(waitForText(game, namePrompt)) << game.output;
    typeKeys(game, "Zoe\r");
    ASSERT_TRUE(waitForText(game, namePrompt + "Zoe")) << game.output;
    ASSERT_TRUE(waitOutsideKeyRead(game));
}

void answerAtAPrompt(PtyGame& game, const std::string& prompt, const std::string& keys)
{
    ASSERT_TRUE(waitForText(game, prompt)) << game.output;
    typeKeys(game, keys);
}

struct Ending {
    const char* name;
    std::function<void(PtyGame&)> play;  // from the start to the ending
    int signal;                          // that ends the game; 0: it ends with status 0
    PtyLaunch launch = {};
};

void PrintTo(const Ending& ending, std::ostream* out) { *out << ending.name; }

class TerminalEnding : public ::testing::TestWithParam<Ending> {};

TEST_P(TerminalEnding, EndsAsAPlayerExpectsAndPutsTheTerminalBack)
{
    PtyGame game;
    startGame(game, GetParam().launch);
    GetParam().play(game);
    const int status = waitForEnd(game);
    const bool exited = status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const bool signalled = status >= 0 && WIFSIGNALED(status) && WTERMSIG(status) == GetParam().signal;
    EXPECT_TRUE(GetParam().signal == 0 ? exited : signalled) << status;
    if (game.slave < 0) return;  // the window is gone
    EXPECT_TRUE(sameModes(game.modesBefore, modesOf(game.slave)));
    if (GetParam().launch.size.ws_row < 25) return;  // the request for room stands outside the game's screen
    EXPECT_EQ(game.screen.row, game.screen.rowBelowText()) << game.screen.whole();
    EXPECT_EQ(game.screen.column, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Terminal, TerminalEnding,
    ::testing::Values(
        Ending{"SigtermInThePauseAfterTheTitle",
               [](PtyGame& game) { answerAtAPrompt(game, titleEnd, ""), kill(game.pid, SIGTERM); }, SIGTERM},
        Ending{"SigusrAtAPrompt", [](PtyGame& game) { answerAtAPrompt(game, question, ""), kill(game.pid, SIGUSR1); },
               SIGUSR1},
        Ending{"SigpipeAtAPrompt", [](PtyGame& game) { answerAtAPrompt(game, question, ""), kill(game.pid, SIGPIPE); },
               SIGPIPE},
        // A hangup ends the game as the end of input does.
        Ending{"SighupInASound", [](PtyGame& game) { playIntoTheOpeningSound(game), kill(game.pid, SIGHUP); }, 0},
        Ending{"CtrlCInASound", [](PtyGame& game) { playIntoTheOpeningSound(game), typeKeys(game, "\x03"); }, SIGINT},
        // At a key read Ctrl-C is only a key: the question is asked again.
        Ending{"CtrlCAtAKeyReadIsOnlyAKey",
               [](PtyGame& game) {
                   answerAtAPrompt(game, question, "\x03\x1b");
                   answerAtAPrompt(game, "Press ESCAPE to exit ", "\x1b");
               },
               0},
        // The request for room is no key read of the game's: Ctrl-C interrupts it.
        Ending{"CtrlCAtTheRequestForRoom", [](PtyGame& game) { answerAtAPrompt(game, roomRequest, "\x03"); }, SIGINT,
               {.size = {24, 80, 0, 0}}},
        // No prompt can be answered any more: the game ends at once.
        Ending{"EndOfInputInALine",
               [](PtyGame& game) {
                   answerAtAPrompt(game, question, "n");
                   answerAtAPrompt(game, namePrompt, "Zo");
                   ASSERT_TRUE(waitForText(game, namePrompt + "Zo"));
                   close(game.inputMaster);
                   game.inputMaster = -1;
               },
               0, {.separateInput = true}},
        // The window closes in a line read: the terminal hangs up, and the
        // game ends instead of waiting or spinning on a dead terminal.
        Ending{"ClosingTheWindowInALine",
               [](PtyGame& game) {
                   answerAtAPrompt(game, question, "n");
                   ASSERT_TRUE(waitForText(game, namePrompt));
                   close(game.slave);
                   close(game.master);
                   game.slave = game.master = -1;
               },
               0}),
    [](const ::testing::TestParamInfo<Ending>& info) { return std::string(info.param.name); });

bool waitForStop(PtyGame& game)
{
    return waitUntil(game, [&] {
        std::ifstream file("/proc/" + std::to_string(game.pid) + "/stat");
        std::string stat{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        return stat.compare(stat.rfind(')') + 2, 1, "T") == 0;
    });
}

// The shell takes the terminal, or gives it back to the game.
void handOverTerminal(PtyGame& game, bool toTheShell)
{
    kill(game.shell, toTheShell ? SIGUSR1 : SIGUSR2);
    const pid_t owner = toTheShell ? game.shell : game.pid;
    ASSERT_TRUE(waitUntil(game, [&] { return tcgetpgrp(game.master) == owner; }));
}

// Stopped from outside: the terminal as before the game, the cursor on a
// fresh line under the game's text; the shell then writes over the screen.
// Continued (first, if asked, while the shell holds the terminal, where the
// game draws nothing and stops again): the game's modes and its screen again.
void stopAndContinue(PtyGame& game, bool inTheBackgroundFirst)
{
    drainOutput(game, 100ms);
    const std::string screen = game.screen.whole();
    kill(game.pid, SIGTSTP);
    ASSERT_TRUE(waitForStop(game));
    drainOutput(game, 100ms);
    EXPECT_TRUE(sameModes(game.modesBefore, modesOf(game.slave)));
    EXPECT_EQ(game.screen.row, game.screen.rowBelowText()) << game.screen.whole();
    EXPECT_EQ(game.screen.column, 1);
    const std::string shellLines = "\r\n[1]+  Stopped   happy-koalas-hum\r\n$ ls\r\nlex  data\r\n$ fg\r\n";
    ASSERT_EQ(write(game.slave, shellLines.data(), shellLines.size()), static_cast<ssize_t>(shellLines.size()));
    ASSERT_TRUE(waitForText(game, "$ fg"));
    if (inTheBackgroundFirst) {
        handOverTerminal(game, true);
        const std::size_t written = game.output.size();
        kill(game.pid, SIGCONT);
        ASSERT_TRUE(waitForStop(game));
        drainOutput(game, 100ms);
        EXPECT_EQ(game.output.size(), written);
        handOverTerminal(game, false);
    }
    kill(game.pid, SIGCONT);
    EXPECT_TRUE(waitUntil(game, [&] { return game.screen.whole() == screen; }, 10s)) << game.screen.whole();
    EXPECT_EQ(modesOf(game.slave).c_lflag & (ICANON | ECHO), 0u);
}

TEST(TerminalStopping, AtAPromptAndContinuedInTheBackgroundFirst)
{
    PtyGame game;
    startGame(game);
    ASSERT_TRUE(waitForText(game, question));
    stopAndContinue(game, true);
    typeKeys(game, "n");
    EXPECT_TRUE(waitForText(game, namePrompt));
}

// Ctrl-\ is only a key there: the game goes on, and takes it after the sound.
TEST(TerminalStopping, InASound)
{
    PtyGame game;
    startGame(game);
    playIntoTheOpeningSound(game);
    typeKeys(game, "\x1c");
    stopAndContinue(game, false);
    EXPECT_TRUE(waitForText(game, "Guess a letter "));
}

// The window shrinks at a letter prompt: the request for room stands over the
// round; the window grows back: the round's screen as it was, and play goes on.
TEST(TerminalChanging, AWindowShrunkAndGrownBackMidRoundShowsTheSameScreen)
{
    PtyGame game;
    startGame(game);
    playIntoTheOpeningSound(game);
    ASSERT_TRUE(waitForText(game, "Guess a letter "));
    drainOutput(game, 100ms);
    const std::string roundScreen = game.screen.whole();
    const std::size_t written = game.output.size();
    for (unsigned short rows : {24, 25}) {
        winsize size{rows, 80, 0, 0};
        ASSERT_EQ(ioctl(game.master, TIOCSWINSZ, &size), 0);  // the terminal signals the change itself
        EXPECT_TRUE(rows == 25 || waitForText(game, roomRequest, written)) << game.output;
    }
    EXPECT_TRUE(waitUntil(game, [&] { return game.screen.whole() == roundScreen; }, 10s)) << game.screen.whole();
    typeKeys(game, "e");
    EXPECT_TRUE(waitForText(game, "Guess, Review or Pass, G, R or P "));
}

// A build without the sanitizers under valgrind, from the title through a
// round's start to the farewell. Suppressions, if any, cover system
// libraries only (terminal/valgrind.supp says which and why).
TEST(UnderValgrind, TheGameHasNoErrorsAndNoDefiniteLeaks)
{
    if (std::string(HKH_PLAIN_GAME_BINARY).empty() || std::system("valgrind --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "needs valgrind and a game built without the sanitizers (HKH_PLAIN_GAME_BINARY)";
    }
    const std::string log = testing::TempDir() + "hkh-valgrind.log";
    PtyGame game;
    startGame(game, {.command = {"valgrind", "--error-exitcode=99", "--leak-check=full", "--show-leak-kinds=definite",
                                 "--errors-for-leak-kinds=definite", "--suppressions=" HKH_VALGRIND_SUPPRESSIONS,
                                 "--log-file=" + log, HKH_PLAIN_GAME_BINARY}});
    playIntoTheOpeningSound(game);
    answerAtAPrompt(game, "Guess a letter ", "\x1b");
    answerAtAPrompt(game, "Press escape to exit ", "\x1b");
    const int status = waitForEnd(game, 120s);
    std::ifstream file(log);
    const std::string report{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
}

}  // namespace
