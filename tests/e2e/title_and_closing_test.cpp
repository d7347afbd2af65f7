// The title, the early-quit screen, and every way the game's terminal can
// refuse it or go away, on the real binary in tmux.
#include <thread>

#include "tests/e2e/e2e_fixture.h"

using namespace std::chrono_literals;

namespace {

// The game is still running, and has not ended on its own, after a while.
bool stillRunningAfter(const GameInTmux& game, std::chrono::milliseconds wait)
{
    return !waitForExit(game, wait).has_value();
}

GameLaunch smallWindow()
{
    GameLaunch launch;
    launch.columns = 60;
    launch.rows = 20;
    return launch;
}

}  // namespace

using TitleScreen = GameInTerminal;

TEST_F(TitleScreen, ShowsItsLinesAtTheirPlacesThenAsksAfterASecond)
{
    startGame(game);
    ASSERT_TRUE(shows(31, 7, "Happy Koalas Hum"));
    std::vector<std::string> screen = captureScreen(game);
    EXPECT_EQ(textAt(screen, 28, 9, 23), "Version 1.0 for Windows");
    EXPECT_EQ(textAt(screen, 23, 12, 37), "A word game to play by ear and by eye");
    EXPECT_EQ(textAt(screen, 23, 14, 33), "Made by the Happy Koalas Hum team");
    EXPECT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    EXPECT_EQ(captureScreen(game).size(), 25u);
}

TEST_F(TitleScreen, EscapeLeadsToTheEarlyQuitScreenWhichWaitsForEscapeAlone)
{
    startGame(game);
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    pressKey(game, "Escape");
    ASSERT_TRUE(shows(14, 12, "So sorry you must leave so soon, come on back for fun"));
    ASSERT_TRUE(shows(34, 22, "Press ESCAPE to exit "));
    typeText(game, "yn q\r");
    pressKey(game, "Up");
    pressKey(game, "F1");
    pressKey(game, "C-c");
    EXPECT_TRUE(stillRunningAfter(game, 500ms));
    EXPECT_TRUE(shows(14, 12, "So sorry you must leave so soon, come on back for fun"));
    pressKey(game, "Escape");
    EXPECT_EQ(waitForExit(game), 0);
}

TEST_F(TitleScreen, CtrlCAtTheQuestionIsOnlyARefusedKey)
{
    startGame(game);
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    pressKey(game, "C-c");
    EXPECT_TRUE(stillRunningAfter(game, 1500ms));
    typeText(game, "n");
    EXPECT_TRUE(shows(1, 22, "What is your first name?  "));
}

TEST_F(TitleScreen, ClosingTheWindowEndsTheGame)
{
    GameLaunch launch;
    launch.wrapForStatus = false;  // the pane's process is the game itself
    startGame(game, launch);
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    int gameProcess = paneProcessId(game);
    ASSERT_TRUE(processAlive(gameProcess));
    killPane(game);
    auto giveUp = std::chrono::steady_clock::now() + 10s;
    while (processAlive(gameProcess) && std::chrono::steady_clock::now() < giveUp) std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(processAlive(gameProcess));
}

TEST_F(TitleScreen, InputThatIsNotATerminalIsRefusedWithStatus1)
{
    GameLaunch launch;
    launch.stdinRedirect = "</dev/null";
    startGame(game, launch);
    EXPECT_EQ(waitForExit(game, 5s), 1);
    EXPECT_TRUE(shows(1, 1, "happy-koalas-hum: this game needs an interactive terminal"));
}

TEST_F(TitleScreen, ASmallWindowIsAskedToGrowThenGetsTheTitle)
{
    startGame(game, smallWindow());
    // 60 columns wrap the message after its 60th character.
    ASSERT_TRUE(shows(1, 1, "Please make this window at least 80 columns wide and 25 ro"));
    EXPECT_TRUE(stillRunningAfter(game, 300ms));
    resizeWindow(game, 80, 25);
    ASSERT_TRUE(shows(31, 7, "Happy Koalas Hum"));
    EXPECT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    EXPECT_EQ(rowText(captureScreen(game), 1).find("Please"), std::string::npos);
}

TEST_F(TitleScreen, EscapeWhileTheWindowIsTooSmallEndsAtOnce)
{
    startGame(game, smallWindow());
    ASSERT_TRUE(shows(1, 1, "Please make this window"));
    pressKey(game, "Escape");
    EXPECT_EQ(waitForExit(game, 5s), 0);
}
