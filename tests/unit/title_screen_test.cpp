#include <gtest/gtest.h>

#include "console/console.h"
#include "console/console_double.h"
#include "screen/player_name.h"
#include "session/title_screen.h"

namespace {

struct TitleScreen : ::testing::Test {
    void SetUp() override
    {
        resetTestConsole();
        playerName = "unset";
    }
};

const std::vector<std::string> openingSounds{"data\\intr.wav", "data\\koal.wav"};

TEST_F(TitleScreen, ShowsTheTitleLinesAndAsksAboutInstructions)
{
    typeKeys("n");
    typeLine("Ann");
    showTitle();
    EXPECT_EQ(screenText(31, 7, 16), "Happy Koalas Hum");
    EXPECT_EQ(screenText(28, 9, 23), "Version 1.0 for Windows");
    EXPECT_NE(trimmedRow(12), "");
    EXPECT_NE(trimmedRow(14), "");
    EXPECT_NE(trimmedRow(16), "");
    EXPECT_NE(trimmedRow(17), "");
    EXPECT_EQ(testConsole().scrolls, 0);
    EXPECT_EQ(trimmedRow(22), "What is your first name?  Ann");
    EXPECT_EQ(playerName, "Ann");
    EXPECT_EQ(pausesTaken(), std::vector<int>{1000});
    EXPECT_EQ(soundsPlayed(), openingSounds);
}

TEST_F(TitleScreen, YOpensTheInstructionsAndRComesBackForTheName)
{
    typeKeys("Yr");
    typeLine("Ann");
    showTitle();
    EXPECT_EQ(screenText(31, 9, 16), "Happy Koalas Hum");  // the bare name screen
    EXPECT_EQ(trimmedRow(7), "");
    EXPECT_EQ(trimmedRow(22), "What is your first name?  Ann");
    EXPECT_EQ(playerName, "Ann");
    EXPECT_EQ(soundsPlayed(), openingSounds);
}

TEST_F(TitleScreen, UpperCaseNGoesStraightToTheName)
{
    typeKeys("N");
    typeLine("Bo");
    showTitle();
    EXPECT_EQ(playerName, "Bo");
    EXPECT_EQ(screenText(31, 7, 16), "Happy Koalas Hum");  // the title stays
}

TEST_F(TitleScreen, ARejectedKeyAsksAgainAfterOneSecond)
{
    typeKeys("x7\r");
    typeCode(ctrlCKey);
    typeTwoCodeKey(224, 72);  // Up: 224, then 72 ("H"), neither an answer
    typeKeys("n");
    typeLine("");
    showTitle();
    EXPECT_EQ(pausesTaken(), std::vector<int>(7, 1000));
    EXPECT_EQ(trimmedRow(22), "What is your first name?");
    EXPECT_EQ(playerName, "");
}

TEST_F(TitleScreen, EscapeLeadsToTheEarlyQuitScreen)
{
    typeCode(escapeKey);
    typeCode(escapeKey);
    int status = -1;
    try {
        showTitle();
    } catch (const ProgramEnded& ended) {
        status = ended.status;
    }
    EXPECT_EQ(status, 0);
    EXPECT_EQ(screenText(14, 12, 53), "So sorry you must leave so soon, come on back for fun");
    EXPECT_EQ(soundsPlayed(), (std::vector<std::string>{"data\\hum.wav", "data\\exit.wav"}));
    EXPECT_EQ(testConsole().linesRead, 0);
}

TEST_F(TitleScreen, KeepsANameOfFourteenCharactersAndRefusesTheRest)
{
    typeKeys("n");
    typeLine("Bartholomew Jo and more");
    typeLine("second line");
    showTitle();
    EXPECT_EQ(playerName, "Bartholomew Jo");
    EXPECT_EQ(trimmedRow(22), "What is your first name?  Bartholomew Jo");
    EXPECT_EQ(testConsole().typed.size(), 12u);  // the next line is still waiting
}

TEST_F(TitleScreen, KeepsANameAsTypedWithCapitalsAndInnerSpaces)
{
    typeKeys("n");
    typeLine("MARY ANN o'Neil");
    showTitle();
    EXPECT_EQ(playerName, "MARY ANN o'Nei");
}

TEST_F(TitleScreen, TakesAnAnswerTypedDuringThePause)
{
    // Everything is typed before the title is drawn; nothing is lost or doubled.
    typeKeys("qn");
    typeLine("Al");
    showTitle();
    EXPECT_EQ(pausesTaken(), (std::vector<int>{1000, 1000}));
    EXPECT_EQ(playerName, "Al");
}

}  // namespace
