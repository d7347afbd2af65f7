// The two pages of instructions, paged forward and back, left for the game
// or for the early-quit screen.
#include "tests/e2e/e2e_fixture.h"

namespace {

const std::string firstPageTop = "Instructions for Happy Koalas Hum   by the Happy Koalas Hum team";
const std::string firstPageRow22 =
    "entry must be accurately spelled with a space between the words in order to win.";
const std::string firstPagePrompt = "Press C to continue or R to return to the game  ";
const std::string secondPageTop = "You get 100 points in the unlikely case that you guess correctly on the first";
const std::string secondPagePrompt = "Press B to back up or R to return to the game  ";

}  // namespace

class Instructions : public GameInTerminal {
protected:
    void SetUp() override
    {
        GameInTerminal::SetUp();
        if (IsSkipped()) return;
        startGame(game);
        ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
        typeText(game, "y");
        ASSERT_TRUE(shows(1, 25, firstPagePrompt));
    }
};

TEST_F(Instructions, PageForwardBackThenReturnToTheNamePrompt)
{
    std::vector<std::string> screen = captureScreen(game);
    EXPECT_EQ(textAt(screen, 1, 1, firstPageTop.size()), firstPageTop);
    EXPECT_EQ(rowText(screen, 22), firstPageRow22) << "the 80-column row must not wrap";
    EXPECT_EQ(rowText(screen, 23).find_first_not_of(' '), std::string::npos);

    typeText(game, "C");
    ASSERT_TRUE(shows(1, 25, secondPagePrompt));
    EXPECT_EQ(textAt(captureScreen(game), 1, 1, secondPageTop.size()), secondPageTop);
    typeText(game, "x");  // not a key of this page: the page stays
    typeText(game, "b");
    ASSERT_TRUE(shows(1, 25, firstPagePrompt));
    EXPECT_TRUE(shows(1, 1, firstPageTop));

    typeText(game, "r");
    ASSERT_TRUE(shows(1, 22, "What is your first name?  "));
    screen = captureScreen(game);
    EXPECT_EQ(textAt(screen, 31, 9, 16), "Happy Koalas Hum");
    for (int row = 1; row <= 25; ++row) {
        if (row == 9 || row == 22) continue;
        EXPECT_EQ(rowText(screen, row).find_first_not_of(' '), std::string::npos) << "row " << row << " is not bare";
    }
}

TEST_F(Instructions, EscapeOnTheSecondPageLeadsToTheEarlyQuitScreen)
{
    typeText(game, "c");
    ASSERT_TRUE(shows(1, 25, secondPagePrompt));
    pressKey(game, "Escape");
    ASSERT_TRUE(shows(14, 12, "So sorry you must leave so soon, come on back for fun"));
    ASSERT_TRUE(shows(34, 22, "Press ESCAPE to exit "));
    pressKey(game, "Escape");
    EXPECT_EQ(waitForExit(game), 0);
}
