#include "round_play.h"

namespace {

using Items = std::vector<std::string>;

TEST_F(RoundPlay, MalformedLinesCostNothingAndAreNotListed)
{
    // Empty, one word, two words, four words, a trailing space after three;
    // two spaces in a row and a trailing space after two words hold fewer
    // than three words.
    Items malformed{"", "noon", "noon nuns", "noon nuns nod sing", "noon nuns nod ", "noon  nuns", "noon nuns "};
    std::string script = "zg";
    for (const std::string& line : malformed) script += line + "\r";
    EXPECT_EQ(playScript(script + "noon nuns nod\r"), SessionEnd::scriptRanOut);
    EXPECT_EQ(countOf(soundsPlayed(), "data\\bagu.wav"), 7);
    EXPECT_EQ(testConsole().linesRead, 8);
    EXPECT_EQ(trimmedRow(3), "noon nuns nod");
    EXPECT_EQ(trimmedRow(4), "");
    EXPECT_EQ(trimmedRow(24), "You get 100 points for this game Ann");
}

TEST_F(RoundPlay, ALeadingSpaceIsAcceptedAndCapitalsAreFolded)
{
    EXPECT_EQ(playScript(guessTurn(" Noon SINGS nod") + guessTurn(" NOON Nuns nod")), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(3), "noon sings nod");
    EXPECT_EQ(trimmedRow(4), "noon nuns nod");
    EXPECT_EQ(trimmedRow(23), "noon nuns nod");
    EXPECT_EQ(trimmedRow(24), "You get 95 points for this game Ann");
}

TEST_F(RoundPlay, CreditAddsUpAcrossTheGuessesOfARound)
{
    std::string oneWord = guessTurn("noon sings nods");
    EXPECT_EQ(playScript(oneWord), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(2), "But you got  one word: noon");
    EXPECT_EQ(trimmedRow(23), "The phrase is: noon n--- n--");
    EXPECT_EQ(lastHeardAndWaited(5), (Items{"data\\wran.wav", "pause 1000", "data\\woma.wav", "pause 500", "pause 500"}));

    std::string twoWords = oneWord + guessTurn("wet cats nod");
    EXPECT_EQ(playScript(twoWords), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(2), "But Ann very close, you got two words: noon and nod");
    EXPECT_EQ(trimmedRow(23), "The phrase is: noon n--- nod");

    // A guess with no word right keeps the earlier credit.
    std::string noneRight = twoWords + guessTurn("wet cats sing");
    EXPECT_EQ(playScript(noneRight), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(2), "But Ann very close, you got two words: noon and nod");
    EXPECT_EQ(lastHeardAndWaited(6),
              (Items{"data\\wran.wav", "pause 1000", "data\\woma.wav", "data\\woma.wav", "pause 500", "pause 500"}));

    // The third credit writes no message; row 23 shows the whole phrase.
    std::string allThree = noneRight + guessTurn("wet nuns sing");
    EXPECT_EQ(playScript(allThree), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(2), "But Ann very close, you got two words: noon and nod");
    EXPECT_EQ(trimmedRow(23), "The phrase is: noon nuns nod");
    EXPECT_EQ(lastHeardAndWaited(3), (Items{"data\\wran.wav", "pause 500", "pause 500"}));
    for (int row = 3; row <= 6; ++row) EXPECT_NE(trimmedRow(row), "") << row;
    EXPECT_EQ(trimmedRow(6), "wet nuns sing");

    EXPECT_EQ(playScript(allThree + guessTurn("noon nuns nod")), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(7), "noon nuns nod");
    EXPECT_EQ(trimmedRow(24), "You get 80 points for this game Ann");
    EXPECT_EQ(trimmedRow(2), "");  // the win clears the credit message
}

TEST_F(RoundPlay, AWrongGuessAtFivePointsMakesNoRemarkAndEndsTheRound)
{
    const unsigned seed = 99;
    seedRandom(seed);
    int draws[8];
    for (int& draw : draws) draw = nextRandom();

    EXPECT_EQ(playScript(passes(19) + guessTurn("wet nuns sing"), seed), SessionEnd::scriptRanOut);
    EXPECT_EQ(nextRandom(), draws[6]);  // the round's six draws, and none for a remark
    EXPECT_EQ(lastHeardAndWaited(6),
              (Items{"data\\wran.wav", "pause 1000", "data\\woma.wav", "pause 2000", "data\\nopo.wav", "pause 500"}));
    EXPECT_EQ(trimmedRow(1), "Oh so sorry Ann, you got stumped by that one");
    EXPECT_EQ(trimmedRow(2), "But you got  one word: nuns");
    EXPECT_EQ(trimmedRow(3), "wet nuns sing");
    EXPECT_EQ(trimmedRow(23), "The correct phrase  is noon nuns nod");
    EXPECT_EQ(trimmedRow(24), "But you get two points for one correct word Ann");
    EXPECT_EQ(trimmedRow(22), "Play again or Quit? P or Q");
}

TEST_F(RoundPlay, OverLongGuessesAreKeptWithinTheirLimits)
{
    // A word longer than any answer word is kept whole and credits nothing.
    std::string longWord = guessTurn("abcdefghijklmnopqrstuvwxyz nuns nod");
    // The editor stops at 39 characters; the rest of the line goes nowhere.
    std::string longLine = guessTurn("noon nuns nod" + std::string(30, 'x'));
    EXPECT_EQ(playScript(longWord + longLine + "d"), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(3), "abcdefghijklmnopqrstuvwxyz nuns nod");
    EXPECT_EQ(trimmedRow(4), "noon nuns nod" + std::string(26, 'x'));
    EXPECT_EQ(testConsole().lineLimits, (std::vector<std::size_t>{39, 39}));
    EXPECT_EQ(trimmedRow(1), "There is one match");  // the "d" typed after the long line
    EXPECT_EQ(trimmedRow(23), "noon nuns nod");
}

TEST_F(RoundPlay, AnAnswerLongerThanTheUsualLineCanStillBeTyped)
{
    std::string word(19, 'q');
    writeUniformLexicon(word, word, word);
    std::string answer = word + " " + word + " " + word;
    EXPECT_EQ(playScript("zg" + answer + "\r"), SessionEnd::scriptRanOut);
    EXPECT_EQ(testConsole().lineLimits, std::vector<std::size_t>{answer.size()});
    EXPECT_EQ(trimmedRow(24), "You get 100 points for this game Ann");
}

}  // namespace
