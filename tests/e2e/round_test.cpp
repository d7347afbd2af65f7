// Whole rounds on the real binary: every lexicon file holds the same word
// 200 times, so the phrase is "noon nuns nod" whatever the draw.
#include <chrono>
#include <iostream>
#include <thread>

#include "tests/e2e/e2e_fixture.h"

using namespace std::chrono_literals;

class Round : public GameInTerminal {
protected:
    void SetUp() override
    {
        GameInTerminal::SetUp();
        if (IsSkipped()) return;
        writeUniformLexicon(game, "noon", "nuns", "nod");
        startGame(game);
        enterName("Ann");
        ASSERT_TRUE(shows(1, 1, "Okay Ann time to  hum!"));
        ASSERT_TRUE(shows(1, 23, "The phrase is: n--- n--- n--"));
        ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    }

    // "z" is in no word of the phrase.
    void missLetter()
    {
        typeText(game, "z");
        ASSERT_TRUE(shows(1, 1, "Sorry Ann, no matches"));
        ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    }
};

TEST_F(Round, ACreditedWrongGuessThenAWinThenTheSummary)
{
    auto started = std::chrono::steady_clock::now();
    missLetter();
    typeText(game, "g");
    ASSERT_TRUE(shows(1, 22, "Enter phrase of 3 words  for 100 points: "));
    typeText(game, "noon sings nods\r");
    ASSERT_TRUE(shows(1, 3, "noon sings nods"));
    ASSERT_TRUE(shows(1, 2, "But you got  one word: noon"));
    ASSERT_TRUE(shows(1, 23, "The phrase is: noon n--- n--"));
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    EXPECT_NE(rowText(captureScreen(game), 1).find_first_not_of(' '), std::string::npos) << "no remark on row 1";

    typeText(game, "u");
    ASSERT_TRUE(shows(1, 1, "There is one match"));
    ASSERT_TRUE(shows(1, 23, "noon nu-- n--"));
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    typeText(game, "g");
    ASSERT_TRUE(shows(1, 22, "Enter phrase of 3 words  for 95 points: "));
    typeText(game, "Noon Nuns Nod\r");
    ASSERT_TRUE(shows(1, 4, "noon nuns nod"));
    ASSERT_TRUE(shows(1, 22, "Play again or Quit? P or Q "));
    std::vector<std::string> screen = captureScreen(game);
    EXPECT_EQ(textAt(screen, 1, 23, 13), "noon nuns nod");
    EXPECT_EQ(textAt(screen, 1, 24, 35), "You get 95 points for this game Ann");
    EXPECT_EQ(textAt(screen, 1, 1, 43), "Fantastic, Ann, very impressive performance");
    EXPECT_EQ(rowText(screen, 2).find_first_not_of(' '), std::string::npos) << "the credit message stayed";

    pressKey(game, "Escape");  // not special at this prompt
    // A letter within 50 ms of Escape would make one Alt key of the two.
    std::this_thread::sleep_for(300ms);
    typeText(game, "q");
    ASSERT_TRUE(shows(27, 5, "I hope you had fun Ann"));
    EXPECT_TRUE(shows(14, 10, "You played 1 game and earned 95 points this session"));
    ASSERT_TRUE(shows(34, 22, "Press escape to exit "));
    pressKey(game, "Escape");
    EXPECT_EQ(waitForExit(game), 0);
    std::cout << "[ figure ] the round from its first letter to the exit took "
              << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count()
              << " ms\n";
}

TEST_F(Round, PointsRunOutOnPassesAfterOneCreditedWordAndTheWordStillCounts)
{
    missLetter();
    typeText(game, "g");
    ASSERT_TRUE(shows(1, 22, "Enter phrase of 3 words  for 100 points: "));
    typeText(game, "noon sings nods\r");
    ASSERT_TRUE(shows(1, 2, "But you got  one word: noon"));
    // The 19 passes that are left, typed ahead in one go.
    std::string passes;
    for (int pass = 0; pass < 19; ++pass) passes += "zp";
    typeText(game, passes);
    ASSERT_TRUE(shows(1, 1, "Oh so sorry Ann, you got stumped by that one", 90s));
    ASSERT_TRUE(shows(1, 22, "Play again or Quit? P or Q "));
    std::vector<std::string> screen = captureScreen(game);
    EXPECT_EQ(textAt(screen, 1, 23, 36), "The correct phrase  is noon nuns nod");
    EXPECT_EQ(textAt(screen, 1, 24, 47), "But you get two points for one correct word Ann");

    // The two points reach the session: a second round left with Escape
    // counts nothing.
    typeText(game, "p");
    ASSERT_TRUE(shows(1, 1, "Okay Ann time to  hum!"));
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    pressKey(game, "Escape");
    EXPECT_TRUE(shows(14, 10, "You played 1 game and earned 2 points this session"));
    ASSERT_TRUE(shows(34, 22, "Press escape to exit "));
    pressKey(game, "Escape");
    EXPECT_EQ(waitForExit(game), 0);
}
