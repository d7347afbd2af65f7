// The real binary from its start to its exit, where only a real terminal can
// show it: the window's size checked before the title, lines typed with echo,
// the letters and guesses of a whole round, the summary and the exit status.
// What each screen holds is checked on the test double (tests/unit/).
#include "tests/e2e/game_in_terminal.h"

namespace {

PaneLaunch smallWindow()
{
    PaneLaunch launch;
    launch.columns = 60;
    launch.rows = 20;
    return launch;
}

}  // namespace

using WholeGame = GameInTerminal;

// Every lexicon file holds the same word, so the phrase is "noon nuns nod".
TEST_F(WholeGame, FromASmallWindowThroughTheTitleAndAWonRoundToTheSummary)
{
    writeUniformLexicon("noon", "nuns", "nod", scratch / "lex");
    startGame(smallWindow());
    // 60 columns wrap the message after its 60th character.
    ASSERT_TRUE(shows(1, 1, "Please make this window at least 80 columns wide and 25 ro"));
    resizePane(pane, 80, 25);
    ASSERT_TRUE(shows(31, 7, "Happy Koalas Hum"));
    EXPECT_EQ(textAt(captureScreen(pane), 28, 9, 23), "Version 1.0 for Windows");
    enterName("Ann");
    ASSERT_TRUE(shows(1, 23, "The phrase is: n--- n--- n--"));
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));

    typeText(pane, "z");
    ASSERT_TRUE(shows(1, 1, "Sorry Ann, no matches"));
    typeText(pane, "g");
    ASSERT_TRUE(shows(1, 22, "Enter phrase of 3 words  for 100 points: "));
    typeText(pane, "noon sings nods\r");
    ASSERT_TRUE(shows(1, 2, "But you got  one word: noon"));
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    typeText(pane, "u");
    ASSERT_TRUE(shows(1, 23, "noon nu-- n--"));
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    typeText(pane, "g");
    ASSERT_TRUE(shows(1, 22, "Enter phrase of 3 words  for 95 points: "));
    typeText(pane, "Noon Nuns Nod\r");
    ASSERT_TRUE(shows(1, 22, "Play again or Quit? P or Q "));
    EXPECT_EQ(textAt(captureScreen(pane), 1, 24, 35), "You get 95 points for this game Ann");

    typeText(pane, "q");
    ASSERT_TRUE(shows(14, 10, "You played 1 game and earned 95 points this session"));
    ASSERT_TRUE(shows(34, 22, "Press escape to exit "));
    pressKey(pane, "Escape");
    EXPECT_EQ(waitForExit(pane), 0);
}

TEST_F(WholeGame, EscapeWhileTheWindowIsTooSmallEndsAtOnce)
{
    startGame(smallWindow());
    ASSERT_TRUE(shows(1, 1, "Please make this window"));
    pressKey(pane, "Escape");
    EXPECT_EQ(waitForExit(pane), 0);
}

TEST_F(WholeGame, InputThatIsNotATerminalIsRefusedWithStatus1)
{
    PaneLaunch launch;
    launch.command = " </dev/null";
    startGame(launch);
    EXPECT_EQ(waitForExit(pane), 1);
    EXPECT_TRUE(shows(1, 1, "happy-koalas-hum: this game needs an interactive terminal"));
}
