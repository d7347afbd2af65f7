// The real game on a bare pseudo-terminal under a stand-in shell
// (tests/support/pty_game.h): however the terminal goes away or changes (a
// signal in a pause or a sound, Ctrl-C in or outside a key read, the end of
// input, a closed window, a stop, a smaller window), the game ends or goes
// on as a player expects, and leaves the terminal's modes as it found them,
// the cursor on a fresh line under its text; continued or given room again,
// it shows the screen it showed.
#include <functional>

#include "tests/support/golden_file.h"
#include "tests/support/pty_game.h"

namespace {

const std::string question = "Do you want instructions?  Y or N  ";
const std::string namePrompt = "What is your first name?  ";
const std::string roomRequest = "Press Escape to leave the game";
const std::string outsideAKeyRead;  // waited for in the terminal's modes: Ctrl-C keeps its signal there

using Steps = std::vector<std::pair<std::string, std::string>>;  // wait for the text, then type the keys

void play(PtyGame& game, const Steps& steps)
{
    for (const auto& [awaited, keys] : steps) {
        const bool seen = awaited.empty() ? game.waitUntil([&] { return (game.modes().c_lflag & ISIG) != 0; })
                                          : game.waitForText(awaited);
        ASSERT_TRUE(seen) << "not seen: " << awaited << "\n" << game.output;
        game.type(keys);
    }
}

// From the title into the opening sound, which follows the name.
const Steps intoTheSound = {{question, "n"}, {namePrompt, "Zoe\r"}, {namePrompt + "Zoe", ""}, {outsideAKeyRead, ""}};

Steps withLastKeys(Steps steps, const std::string& keys) { return steps.back().second = keys, steps; }

void expectTheScreenBack(PtyGame& game, const std::string& screen)
{
    EXPECT_TRUE(game.waitUntil([&] { return game.screen() == screen; }, std::chrono::seconds(10)))
        << game.screen() << "----- instead of -----\n" << screen;
}

bool waitForStop(PtyGame& game)
{
    return game.waitUntil([&] {
        const std::string stat = readWholeFile("/proc/" + std::to_string(game.pid) + "/stat");
        return stat.compare(stat.rfind(')') + 2, 1, "T") == 0;
    });
}

// The stand-in shell takes the terminal (SIGUSR1), or gives it back to the game (SIGUSR2).
bool handOverTerminal(PtyGame& game, int signalNumber, pid_t owner)
{
    kill(game.shell, signalNumber);
    return game.waitUntil([&] { return tcgetpgrp(game.master) == owner; });
}

// Stopped from outside: the terminal as before the game, the cursor on a
// fresh line under the game's text; the shell then writes over the screen.
// Continued (first, if asked, while the shell holds the terminal, where the
// game draws nothing and stops again): the game's modes and its screen again.
void stopAndContinue(PtyGame& game, bool inTheBackgroundFirst)
{
    game.drain(100);
    const std::string screen = game.screen();
    kill(game.pid, SIGTSTP);
    ASSERT_TRUE(waitForStop(game));
    game.drain(100);
    EXPECT_TRUE(game.modesRestored());
    EXPECT_TRUE(game.cursorOnAFreshLineUnderTheText()) << game.screen();
    const std::string shellLines = "\r\n[1]+  Stopped   happy-koalas-hum\r\n$ ls\r\nlex  data\r\n$ fg\r\n";
    ASSERT_EQ(write(game.slave, shellLines.data(), shellLines.size()), ssize_t(shellLines.size()));
    ASSERT_TRUE(game.waitForText("$ fg"));
    const std::size_t written = game.output.size();
    if (inTheBackgroundFirst) {
        ASSERT_TRUE(handOverTerminal(game, SIGUSR1, game.shell));
        kill(game.pid, SIGCONT);
        ASSERT_TRUE(waitForStop(game));
        game.drain(100);
        EXPECT_EQ(game.output.size(), written);
        ASSERT_TRUE(handOverTerminal(game, SIGUSR2, game.pid));
    }
    kill(game.pid, SIGCONT);
    expectTheScreenBack(game, screen);
    EXPECT_EQ(game.modes().c_lflag & (ICANON | ECHO), 0u);
}

// The window shrinks: the request for room stands over the game's screen;
// the window grows back: that screen as it was.
void shrinkAndGrowBack(PtyGame& game)
{
    game.drain(100);
    const std::string screen = game.screen();
    const std::size_t written = game.output.size();
    game.resize(24);
    EXPECT_TRUE(game.waitForText(roomRequest, written)) << game.output;
    game.resize(25);
    expectTheScreenBack(game, screen);
}

constexpr int goesOn = -1;

struct TerminalCase {
    const char* name;
    Steps steps;
    std::function<void(PtyGame&)> then;  // what happens to the game or its terminal
    int endSignal;                       // that ends the game; 0: it ends with status 0; goesOn: play goes on
    Steps after = {};                    // when play goes on
    bool separateInput = false;
    unsigned short rows = 25;
};

void PrintTo(const TerminalCase& terminalCase, std::ostream* out) { *out << terminalCase.name; }

class Terminal : public ::testing::TestWithParam<TerminalCase> {};

TEST_P(Terminal, EndsOrGoesOnAsAPlayerExpects)
{
    const TerminalCase& terminalCase = GetParam();
    PtyGame game(terminalCase.separateInput, terminalCase.rows);
    play(game, terminalCase.steps);
    if (!HasFatalFailure()) terminalCase.then(game);
    if (HasFatalFailure()) return;
    play(game, terminalCase.after);
    if (terminalCase.endSignal == goesOn) return;
    const int status = game.waitForEnd();
    const bool exited = status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const bool signalled = status >= 0 && WIFSIGNALED(status) && WTERMSIG(status) == terminalCase.endSignal;
    EXPECT_TRUE(terminalCase.endSignal == 0 ? exited : signalled) << status;
    if (game.master < 0) return;  // the window is gone
    EXPECT_TRUE(game.modesRestored());
    EXPECT_TRUE(game.cursorOnAFreshLineUnderTheText()) << game.screen();
}

auto sending(int signalNumber)
{
    return [signalNumber](PtyGame& game) { kill(game.pid, signalNumber); };
}
void nothing(PtyGame&) {}

// A hangup ends the game as the end of input does; at a key read Ctrl-C is
// only a key (the question is asked again), but the request for room is no
// key read of the game's; with the input gone no prompt can be answered any
// more; a window closed in a line read hangs the terminal up, and the game
// ends instead of waiting or spinning on a dead terminal. Ctrl-\ is only a
// key in a sound: the game takes it after the sound, stopped or not.
INSTANTIATE_TEST_SUITE_P(
    Bare, Terminal,
    ::testing::Values(
        TerminalCase{"SigtermInThePauseAfterTheTitle", {{"while your 100 points last.", ""}}, sending(SIGTERM),
                     SIGTERM},
        TerminalCase{"SigpipeAtAPrompt", {{question, ""}}, sending(SIGPIPE), SIGPIPE},
        TerminalCase{"SighupInASound", intoTheSound, sending(SIGHUP), 0},
        TerminalCase{"CtrlCInASound", withLastKeys(intoTheSound, "\x03"), nothing, SIGINT},
        TerminalCase{"CtrlCAtAKeyReadIsOnlyAKey", {{question, "\x03\x1b"}, {"Press ESCAPE to exit ", "\x1b"}}, nothing,
                     0},
        TerminalCase{"CtrlCAtTheRequestForRoom", {{roomRequest, "\x03"}}, nothing, SIGINT, {}, false, 24},
        TerminalCase{"EndOfInputInALine", {{question, "n"}, {namePrompt, "Zo"}, {namePrompt + "Zo", ""}},
                     [](PtyGame& game) { close(game.inputMaster), game.inputMaster = -1; }, 0, {}, true},
        TerminalCase{"ClosingTheWindowInALine", {{question, "n"}, {namePrompt, ""}},
                     [](PtyGame& game) { close(game.slave), close(game.master), game.slave = game.master = -1; }, 0},
        TerminalCase{"StoppedAtAPromptAndContinuedInTheBackgroundFirst", {{question, ""}},
                     [](PtyGame& game) { stopAndContinue(game, true); }, goesOn, {{question, "n"}, {namePrompt, ""}}},
        TerminalCase{"StoppedInASound", withLastKeys(intoTheSound, "\x1c"),
                     [](PtyGame& game) { stopAndContinue(game, false); }, goesOn, {{"Guess a letter ", ""}}},
        TerminalCase{"AWindowShrunkAndGrownBackAtAPrompt", {{question, ""}}, shrinkAndGrowBack, goesOn,
                     {{question, "n"}, {namePrompt, ""}}}),
    [](const ::testing::TestParamInfo<TerminalCase>& info) { return std::string(info.param.name); });

}  // namespace
