#include "round_play.h"

namespace {

using Items = std::vector<std::string>;

TEST_F(RoundPlay, RoundStartsWithTheGreetingAndTheFirstLetters)
{
    EXPECT_EQ(playScript(""), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(1), "Okay Ann time to  hum!");
    EXPECT_EQ(trimmedRow(23), "The phrase is: n--- n--- n--");
    EXPECT_EQ(screenText(1, 22, 16), "Guess a letter  ");
    EXPECT_EQ(heardAndWaited(), (Items{"data\\plso.wav", "pause 500", "pause 500", "pause 500"}));
}

TEST_F(RoundPlay, TheFirstLetterIsNeverComparedAndARepeatCountsAgain)
{
    // "n" stands first in every word, again in "noon" and "nuns", not in "nod".
    EXPECT_EQ(playScript("npnp?"), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(1), "There are 2 matches");
    EXPECT_EQ(trimmedRow(23), "n--n n-n- n--");  // no label after a letter
    EXPECT_EQ(screenText(1, 21, 5), "n n  ");
    Items turn{"data\\tone1.wav", "data\\tone2.wav", "pause 500", "pause 500", "pause 500"};
    Items expected{"data\\plso.wav", "pause 500", "pause 500", "pause 500"};
    expected.insert(expected.end(), turn.begin(), turn.end());
    expected.push_back("pause 500");  // the next-letter prompt
    expected.insert(expected.end(), turn.begin(), turn.end());
    expected.insert(expected.end(), {"pause 500", "pause 500"});  // the prompt before and after "?"
    EXPECT_EQ(heardAndWaited(), expected);
}

TEST_F(RoundPlay, OneMatchPlaysOneTone)
{
    EXPECT_EQ(playScript("d"), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(1), "There is one match");
    EXPECT_EQ(trimmedRow(23), "n--- n--- n-d");
    EXPECT_EQ(countOf(soundsPlayed(), "data\\tone1.wav"), 1);
    EXPECT_EQ(soundsPlayed().size(), 2u);
}

TEST_F(RoundPlay, TenPositionsPlayTheEightTonesOnce)
{
    writeUniformLexicon("baaaa", "baaaa", "baa");
    EXPECT_EQ(playScript("a"), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(1), "There are 10 matches");
    EXPECT_EQ(trimmedRow(23), "baaaa baaaa baa");
    EXPECT_EQ(soundsPlayed(), (Items{"data\\plso.wav", "data\\tone1.wav", "data\\tone2.wav", "data\\tone3.wav",
                                     "data\\tone4.wav", "data\\tone5.wav", "data\\tone6.wav", "data\\tone7.wav",
                                     "data\\tone8.wav"}));
}

TEST_F(RoundPlay, AOneLetterWordShowsNoDashAndNeverMatches)
{
    writeUniformLexicon("a", "bees", "buzz");
    EXPECT_EQ(playScript(""), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(23), "The phrase is: a b--- b---");
    EXPECT_EQ(playScript("a"), SessionEnd::scriptRanOut);
    EXPECT_EQ(trimmedRow(1), "Sorry Ann, no matches");
    EXPECT_EQ(trimmedRow(23), "a b--- b---");
    EXPECT_EQ(soundsPlayed(), (Items{"data\\plso.wav", "data\\wrle.wav"}));
}

TEST_F(RoundPlay, PromptsFoldCaseAndAskAgainForKeysTheyDoNotTake)
{
    std::string refused = std::string("7\r") + char(ctrlCKey);
    // First letter ("?" is not special yet), menu, next letter, menu.
    std::string script = refused + "?N" + refused + "?5P" + refused + "?D" + "G";
    EXPECT_EQ(playScript(script), SessionEnd::scriptRanOut);
    Items heard = heardAndWaited();
    Items firstPrompts{"data\\plso.wav", "pause 500", "pause 500", "pause 500", "pause 500", "pause 500",
                       "pause 500", "pause 500", "data\\tone1.wav"};
    EXPECT_EQ(Items(heard.begin(), heard.begin() + 9), firstPrompts);
    // Round start 2, first letter 5 prompts, turn 2, menu 6, next letter 5,
    // turn 2, menu 1, phrase prompt 1: every refused key costs one prompt.
    EXPECT_EQ(countOf(heard, "pause 500"), 2 + 5 + 2 + 6 + 5 + 2 + 1 + 1);
    EXPECT_EQ(trimmedRow(23), "n--n n-n- n-d");
    EXPECT_EQ(trimmedRow(21), "");  // the log shown by "?" is erased when the menu is answered
    EXPECT_EQ(trimmedRow(22), "Enter phrase of 3 words  for 95 points:");
}

}  // namespace
