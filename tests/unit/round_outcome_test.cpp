#include "round_play.h"

namespace {

using Items = std::vector<std::string>;

const Items fullPointsFanfare{"data\\fupo1.wav", "data\\fupo1.wav", "data\\fupo1.wav", "data\\yes.wav",
                              "data\\fupo2.wav"};
const Items fanfare{"data\\rian1.wav", "data\\yes.wav", "data\\rian2.wav"};

std::string winRemarkFor(int points)
{
    if (points < 20) return "You got it, not so good Ann, but you will do better";
    if (points < 40) return "Correct, Not bad Ann, but room for improvement";
    if (points < 60) return "Right, you are getting pretty crafty Ann, keep trying";
    if (points < 80) return "Yes, oh Ann, your brilliance  is beginning to show";
    if (points < 100) return "Fantastic, Ann, very impressive performance";
    return "Tremendous job Ann, you got it in one guess, you must be a word genious!";
}

TEST_F(RoundPlay, EachPassCostsFivePointsAndTheWinScreenFollowsThePoints)
{
    for (int passCount = 0; passCount < 20; ++passCount) {
        int points = 100 - 5 * passCount;
        EXPECT_EQ(playScript(passes(passCount) + guessTurn("noon nuns nod")), SessionEnd::scriptRanOut);
        EXPECT_EQ(trimmedRow(1), winRemarkFor(points));
        EXPECT_EQ(trimmedRow(23), "noon nuns nod");
        EXPECT_EQ(trimmedRow(24), "You get " + std::to_string(points) + " points for this game Ann");
        EXPECT_EQ(trimmedRow(22), "Play again or Quit? P or Q");
        const Items& expected = points == 100 ? fullPointsFanfare : fanfare;
        Items tail = lastHeardAndWaited(expected.size() + 3);
        EXPECT_EQ(Items(tail.begin(), tail.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected) << points;
        EXPECT_EQ(Items(tail.end() - 3, tail.end()), (Items{"pause 500", "pause 500", "pause 500"}));
    }
}

TEST_F(RoundPlay, TwentyPassesLoseTheRoundWithNoFurtherLetterPrompt)
{
    EXPECT_EQ(playScript(passes(20)), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(22), "Play again or Quit? P or Q");
    EXPECT_EQ(trimmedRow(1), "Oh so sorry Ann, you got stumped by that one");
    EXPECT_EQ(trimmedRow(23), "The correct phrase  is noon nuns nod");
    EXPECT_EQ(trimmedRow(24), "You get zero points for this game Ann");
    EXPECT_EQ(lastHeardAndWaited(4), (Items{"pause 500", "pause 2000", "data\\nopo.wav", "pause 500"}));
    EXPECT_EQ(countOf(soundsPlayed(), "data\\wrle.wav"), 20);

    EXPECT_EQ(playScript(passes(20) + "q" + escape), SessionEnd::programEnded);
    EXPECT_EQ(trimmedRow(10), std::string(13, ' ') + "You played 1 game and earned 0 points this session");
}

// Credits words in `guesses` wrong guesses, then passes until the points run out.
std::string loseWithCredits(const Items& guesses)
{
    std::string script;
    for (const std::string& guess : guesses) script += guessTurn(guess);
    return script + passes(20 - static_cast<int>(guesses.size()));
}

TEST_F(RoundPlay, ALostRoundEarnsTwoPointsForEveryCreditedWord)
{
    struct Case {
        Items guesses;
        std::string line;
        int points;
    };
    const Case cases[] = {
        {{"noon sings nods"}, "But you get two points for one correct word Ann", 2},
        {{"noon sings nods", "wet cats nod"}, "But you get four points for two correct words Ann", 4},
        {{"noon sings nods", "wet cats nod", "wet nuns sing"}, "But you get six points for three correct words Ann", 6},
    };
    for (const Case& lost : cases) {
        // The points run out on a pass, long after the credited guesses.
        EXPECT_EQ(playScript(loseWithCredits(lost.guesses)), SessionEnd::scriptRanOut);
        EXPECT_EQ(trimmedRow(24), lost.line);
        EXPECT_EQ(playScript(loseWithCredits(lost.guesses) + "q" + escape), SessionEnd::programEnded);
        EXPECT_EQ(trimmedRow(10), std::string(13, ' ') + "You played 1 game and earned " + std::to_string(lost.points) +
                                      " points this session");
    }
}

// Words that name their file, in letters that no test letter finds: the
// phrase tells which files were drawn.
std::string fileWord(char family, int file)
{
    return {family, static_cast<char>('k' + file / 6), static_cast<char>('k' + file % 6)};
}

void writeFileNamingLexicon()
{
    writeFamily(adjectiveFamily, [](int file) { return repeatedLines(fileWord('a', file)); });
    writeFamily(nounFamily, [](int file) { return repeatedLines(fileWord('n', file)); });
    writeFamily(verbFamily, [](int file) { return repeatedLines(fileWord('v', file)); });
}

const Items remarks{
    "Sorry Ann wrong answer",
    "Not correct Ann keep trying",
    "Too bad Ann better grab a dictionary",
    "No good Ann better take a deep breath",
    "Oh no Ann you blew that one",
    "What is the deal Ann you did so well in school",
    "Keept guessing  Ann but not that time",
    "Oh darn it  Ann wrong again",
    "Wrong Ann but keep hacking away at it",
    "Shucks Ann you are striking out",
    "Hey Ann I will get you a dictionary for Christmas",
    "Not quite Ann you need more juice",
    "Oh brother Ann this one is stumping you",
    "Oh nuts Ann I thought you had it for a second",
    "Man Ann I thought you would get this one",
    "Well Ann so you are not Harvard material",
    "So what Ann words are not everything",
    "Wrong Ann but I still like you",
    "Good guess Ann but you missed the target",
    "Oh no Ann I think you need some home tutoring",
};

TEST_F(RoundPlay, EachRoundDrawsSixNumbersThenOnePerRemark)
{
    writeFileNamingLexicon();
    for (unsigned seed : {7u, 2024u, 31337u}) {
        seedRandom(seed);
        int draws[14];
        for (int& draw : draws) draw = nextRandom();
        // Adjective file and position, noun file and position, verb file and position.
        auto phraseOf = [](const int* drawn) {
            return fileWord('a', drawn[0] % adjectiveFamily.fileCount) + " " +
                   fileWord('n', drawn[2] % nounFamily.fileCount) + " " + fileWord('v', drawn[4] % verbFamily.fileCount);
        };
        std::string first = phraseOf(draws);
        std::string second = phraseOf(draws + 7);

        EXPECT_EQ(playScript(guessTurn("wet cats sing"), seed), SessionEnd::scriptRanOut);
        EXPECT_EQ(trimmedRow(1), remarks[draws[6] % 20]);

        std::string twoRounds = guessTurn("wet cats sing") + guessTurn(first) + "p" + guessTurn(second);
        EXPECT_EQ(playScript(twoRounds, seed), SessionEnd::scriptRanOut);
        EXPECT_EQ(trimmedRow(23), second);
        EXPECT_EQ(trimmedRow(24), "You get 100 points for this game Ann");
        EXPECT_EQ(nextRandom(), draws[13]);
    }
}

}  // namespace
