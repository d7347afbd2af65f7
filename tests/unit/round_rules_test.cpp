// The round's rules on their own: no screen, no sound, no session.
#include <gtest/gtest.h>

#include "round/round_rules.h"

namespace {

RoundState roundOf(const char* adjective, const char* noun, const char* verb)
{
    RoundState round;
    startRound(round, adjective, noun, verb);
    return round;
}

TEST(RoundRules, LettersRevealEveryPositionAfterTheFirst)
{
    struct Case { char letter; int matches; const char* shown; };
    const Case cases[] = {{'p', 2, "h-pp- k----- h--"}, {'a', 3, "ha--- k-a-a- h--"},
                          {'h', 0, "h---- k----- h--"}, {'z', 0, "h---- k----- h--"}};
    for (const Case& test : cases) {
        RoundState round = roundOf("happy", "koalas", "hum");
        EXPECT_EQ(revealLetter(round, test.letter), test.matches) << test.letter;
        EXPECT_EQ(round.shownPhrase, test.shown) << test.letter;
        EXPECT_EQ(revealLetter(round, test.letter), test.matches) << "counted again: " << test.letter;
    }
}

TEST(RoundRules, EveryTurnCostsFivePointsDownToZero)
{
    RoundState round = roundOf("a", "b", "c");
    for (int points = 95; points > 0; points -= 5) {
        EXPECT_FALSE(chargeTurn(round));
        EXPECT_EQ(round.roundPoints, points);
    }
    EXPECT_TRUE(chargeTurn(round));
    EXPECT_TRUE(chargeTurn(round));
    EXPECT_EQ(round.roundPoints, 0);
}

TEST(RoundRules, GuessesSplitIntoThreeWordsOrNone)
{
    struct Case { const char* line; bool accepted; const char* first; };
    const Case cases[] = {{"happy koalas hum", true, "happy"}, {" happy koalas hum", true, "happy"},
                          {"", false, ""}, {"happy koalas", false, ""}, {"happy  koalas", false, ""},
                          {"happy koalas hum ", false, ""}, {"a b c d", false, ""}, {"a\tb c", false, ""}};
    for (const Case& test : cases) {
        std::optional<GuessWords> words = splitGuess(test.line);
        EXPECT_EQ(words.has_value(), test.accepted) << '"' << test.line << '"';
        EXPECT_EQ(words ? (*words)[0] : "", test.first);
    }
}

TEST(RoundRules, WrongGuessesCreditExactWordsForTheRestOfTheRound)
{
    RoundState round = roundOf("happy", "koalas", "hum");
    EXPECT_EQ(judgeGuess(round, {"HAPPY", "koala", "hums"}), GuessOutcome::wrong);
    EXPECT_EQ(round.roundPoints, 95);
    EXPECT_EQ(round.shownPhrase, "happy k----- h--");
    EXPECT_EQ(judgeGuess(round, {"sad", "koalas", "x"}), GuessOutcome::wrong);
    EXPECT_EQ(creditedWords(round), (std::vector<std::string>{"happy", "koalas"}));
    EXPECT_EQ(consolationPoints(countCreditedWords(round)), 4);
    EXPECT_EQ(judgeGuess(round, {"Happy", "Koalas", "Hum"}), GuessOutcome::win);
    EXPECT_EQ(round.roundPoints, 90);
    round.roundPoints = 5;
    EXPECT_EQ(judgeGuess(round, {"x", "y", "hum"}), GuessOutcome::lost);
    EXPECT_EQ(consolationPoints(countCreditedWords(round)), 6);
}

}  // namespace
