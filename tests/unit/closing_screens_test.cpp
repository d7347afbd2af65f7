#include <gtest/gtest.h>

#include "console/console.h"
#include "console/console_double.h"
#include "session/closing_screens.h"
#include "screen/player_name.h"

namespace {

struct ClosingScreens : ::testing::Test {
    void SetUp() override
    {
        resetTestConsole();
        playerName = "Ann";
    }
};

int endStatusOf(void (*screen)())
{
    try {
        screen();
    } catch (const ProgramEnded& ended) {
        return ended.status;
    }
    return -1;
}

TEST_F(ClosingScreens, EarlyQuitIgnoresEveryKeyButEscapeThenPlaysItsSounds)
{
    typeKeys("xq\r");
    typeCode(ctrlCKey);
    typeTwoCodeKey(224, 72);
    typeCode(escapeKey);
    EXPECT_EQ(endStatusOf(quitEarly), 0);
    EXPECT_EQ(screenText(14, 12, 53), "So sorry you must leave so soon, come on back for fun");
    EXPECT_EQ(screenText(34, 22, 21), "Press ESCAPE to exit ");
    EXPECT_EQ(pausesTaken(), std::vector<int>{1000});
    EXPECT_EQ(soundsPlayed(), (std::vector<std::string>{"data\\hum.wav", "data\\exit.wav"}));
    EXPECT_TRUE(testConsole().typed.empty());
}

int summaryStatus(int games, int points)
{
    try {
        showSessionSummary(games, points);
    } catch (const ProgramEnded& ended) {
        return ended.status;
    }
    return -1;
}

TEST_F(ClosingScreens, SummaryCountsGamesInTheRightNumberAndAveragesWholePoints)
{
    struct Summary {
        int games;
        int points;
        std::string played;
        std::string averaged;  // none without games
    };
    for (const Summary& summary : {Summary{0, 0, "You played 0 games and earned 0 points this session", ""},
                                   Summary{1, 85, "You played 1 game and earned 85 points this session", ""},
                                   Summary{3, 100, "You played 3 games and earned 100 points this session",
                                           "You averaged 33 points per game"},
                                   Summary{2, 87, "You played 2 games and earned 87 points this session",
                                           "You averaged 43 points per game"}}) {
        resetTestConsole();
        typeCode(escapeKey);
        EXPECT_EQ(summaryStatus(summary.games, summary.points), 0);
        EXPECT_EQ(trimmedRow(5), std::string(26, ' ') + "I hope you had fun Ann");
        EXPECT_EQ(trimmedRow(10), std::string(13, ' ') + summary.played);
        EXPECT_EQ(trimmedRow(11), summary.averaged.empty() ? "" : std::string(13, ' ') + summary.averaged);
    }
}

TEST_F(ClosingScreens, FarewellKeepsTheSummaryWaitsThreeSecondsAndPlaysThreeSounds)
{
    typeKeys("p");
    typeCode(escapeKey);
    summaryStatus(2, 87);
    EXPECT_EQ(trimmedRow(21), std::string(33, ' ') + "Happy koalas hum Ann");
    EXPECT_EQ(screenText(34, 22, 21), "Press escape to exit ");
    EXPECT_FALSE(trimmedRow(18).empty());
    EXPECT_FALSE(trimmedRow(19).empty());
    EXPECT_EQ(trimmedRow(20), "");
    EXPECT_EQ(pausesTaken(), std::vector<int>{3000});
    EXPECT_EQ(soundsPlayed(), (std::vector<std::string>{"data\\hum.wav", "data\\exit.wav", "data\\haha.wav"}));
}

TEST_F(ClosingScreens, FarewellWithAnEmptyNameEndsAfterTheFixedText)
{
    playerName.clear();
    typeCode(escapeKey);
    summaryStatus(0, 0);
    EXPECT_EQ(screenText(34, 21, 18), "Happy koalas hum  ");
    EXPECT_EQ(trimmedRow(5), std::string(26, ' ') + "I hope you had fun");
}

}  // namespace
