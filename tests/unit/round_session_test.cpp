#include "round_play.h"

namespace {

using Items = std::vector<std::string>;

const Items closingSounds{"data\\quit.wav", "data\\hum.wav", "data\\exit.wav", "data\\haha.wav"};

std::string gamesLine(const std::string& text) { return std::string(13, ' ') + text; }

TEST_F(RoundPlay, TheTotalsCountClosedRoundsAndNotTheOneLeftWithEscape)
{
    std::string won = guessTurn("noon nuns nod") + "p";                           // 100
    std::string lostWithOneWord = guessTurn("noon sings nods") + passes(19) + "P";  // 2
    std::string leftAtTheMenu = "z" + escape;
    EXPECT_EQ(playScript(won + lostWithOneWord + leftAtTheMenu + escape), SessionEnd::programEnded);
    EXPECT_EQ(trimmedRow(10), gamesLine("You played 2 games and earned 102 points this session"));
    EXPECT_EQ(trimmedRow(11), gamesLine("You averaged 51 points per game"));
    EXPECT_EQ(lastHeardAndWaited(5), (Items{"data\\quit.wav", "pause 3000", "data\\hum.wav", "data\\exit.wav",
                                            "data\\haha.wav"}));

    // Escape at the letter prompt after a wrong guess counts that round for nothing too.
    std::string leftAfterAGuess = guessTurn("noon nuns sing") + escape;
    EXPECT_EQ(playScript(won + leftAfterAGuess + escape), SessionEnd::programEnded);
    EXPECT_EQ(trimmedRow(10), gamesLine("You played 1 game and earned 100 points this session"));
}

TEST_F(RoundPlay, EscapeAtTheFirstLetterLeavesWithNoGames)
{
    EXPECT_EQ(playScript(escape + escape), SessionEnd::programEnded);
    EXPECT_EQ(trimmedRow(10), gamesLine("You played 0 games and earned 0 points this session"));
    EXPECT_EQ(trimmedRow(11), "");
    Items expected{"data\\plso.wav"};
    expected.insert(expected.end(), closingSounds.begin(), closingSounds.end());
    EXPECT_EQ(soundsPlayed(), expected);
}

TEST_F(RoundPlay, ThePlayAgainPromptRefusesEscapeAndStartsANewRoundOnP)
{
    std::string won = guessTurn("noon nuns nod");
    EXPECT_EQ(playScript(won + escape + "x" + "P"), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(1), "Okay Ann time to  hum!");
    EXPECT_EQ(trimmedRow(23), "The phrase is: n--- n--- n--");
    EXPECT_EQ(countOf(soundsPlayed(), "data\\plso.wav"), 2);

    EXPECT_EQ(playScript(won + escape + "Q" + escape), SessionEnd::programEnded);
    EXPECT_EQ(trimmedRow(10), gamesLine("You played 1 game and earned 100 points this session"));
}

}  // namespace
