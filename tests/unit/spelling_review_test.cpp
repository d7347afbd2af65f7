#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <set>

#include "console/console.h"
#include "console/console_double.h"
#include "round/spelling_review.h"

namespace {

struct SpellingReview : ::testing::Test {
    void SetUp() override { resetTestConsole(); }
};

// The timeline written compactly: a sound by its path, a pause as its length.
std::vector<std::string> heardAndWaited()
{
    std::vector<std::string> items;
    for (const HeardOrWaited& item : testConsole().timeline)
        items.push_back(item.sound.empty() ? std::to_string(item.milliseconds) : item.sound);
    return items;
}

const std::string reviewPrompt = "Press 1 through 6 for spelling, G to guess or P to pass ";

TEST_F(SpellingReview, DrawsThePromptAfterClearingRows19And22)
{
    setCursor(1, 19);
    std::cout << std::string(80, 'x');
    setCursor(1, 22);
    std::cout << std::string(80, 'y');
    typeKeys("g");
    EXPECT_EQ(reviewSpelling("h---", "k-----", "h--"), 'g');
    EXPECT_EQ(screenRow(19), std::string(78, ' ') + "xx");  // a blank is 78 spaces
    EXPECT_EQ(screenRow(22), reviewPrompt + std::string(22, ' ') + "yy");
    EXPECT_EQ(heardAndWaited(), std::vector<std::string>{"500"});
}

TEST_F(SpellingReview, SpellsAShownWordByLetterNamesWithADashForEachHiddenLetter)
{
    typeKeys("1p");
    EXPECT_EQ(reviewSpelling("h---", "k-----", "h--"), 'p');
    EXPECT_EQ(heardAndWaited(), (std::vector<std::string>{"500", "data\\H.wav", "100", "data\\blank.wav", "100",
                                                          "data\\blank.wav", "100", "data\\blank.wav", "100"}));
}

TEST_F(SpellingReview, EachDigitSpellsItsWordInItsVoice)
{
    typeKeys("123456G");
    EXPECT_EQ(reviewSpelling("ab", "c-", "-z"), 'G');
    EXPECT_EQ(soundsPlayed(), (std::vector<std::string>{
                                  "data\\A.wav", "data\\B.wav",                // 1
                                  "data\\C.wav", "data\\blank.wav",            // 2
                                  "data\\blank.wav", "data\\Z.wav",            // 3
                                  "data\\alpha.wav", "data\\bravo.wav",        // 4
                                  "data\\charlie.wav", "data\\blank.wav",      // 5
                                  "data\\blank.wav", "data\\zulu.wav",         // 6
                              }));
    // One prompt on entry, then 100 ms after each of the twelve characters.
    std::vector<int> expectedPauses{500};
    expectedPauses.insert(expectedPauses.end(), 12, 100);
    EXPECT_EQ(pausesTaken(), expectedPauses);
}

TEST_F(SpellingReview, ACharacterWithNoSoundStillTakesItsPause)
{
    typeKeys("1");
    typeKeys("4");
    typeKeys("2P");
    EXPECT_EQ(reviewSpelling("Ab-", "", "x"), 'P');
    EXPECT_EQ(heardAndWaited(), (std::vector<std::string>{"500", "100", "data\\B.wav", "100", "data\\blank.wav",
                                                          "100", "100", "data\\bravo.wav", "100",
                                                          "data\\blank.wav", "100"}));
}

TEST_F(SpellingReview, RepeatedSpellingsPlayInFullWithoutRedrawingThePrompt)
{
    typeKeys("222");
    typeKeys("g");
    EXPECT_EQ(reviewSpelling("a", "s-n", "b"), 'g');
    const std::vector<std::string> once{"data\\S.wav", "data\\blank.wav", "data\\N.wav"};
    std::vector<std::string> thrice;
    for (int i = 0; i < 3; ++i) thrice.insert(thrice.end(), once.begin(), once.end());
    EXPECT_EQ(soundsPlayed(), thrice);
    EXPECT_EQ(pausesTaken(), (std::vector<int>{500, 100, 100, 100, 100, 100, 100, 100, 100, 100}));
}

TEST_F(SpellingReview, OtherKeysRedrawThePromptAndLeaveThePhraseUnspoken)
{
    typeCode(escapeKey);  // Escape does not leave the review here
    typeCode(enterKey);
    typeCode(ctrlCKey);
    typeKeys("07xqR ");
    typeCode(0xB1);  // a code above 127 counts as a negative character
    typeKeys("p");
    EXPECT_EQ(reviewSpelling("h---", "k-----", "h--"), 'p');
    EXPECT_TRUE(soundsPlayed().empty());
    EXPECT_EQ(pausesTaken(), std::vector<int>(11, 500));
    EXPECT_EQ(trimmedRow(22), "Press 1 through 6 for spelling, G to guess or P to pass");
}

TEST_F(SpellingReview, ATwoCodeKeyIsJudgedCodeByCode)
{
    typeTwoCodeKey(224, 72);  // Up: 224 is ignored, then 72 ("H") is ignored
    typeTwoCodeKey(0, 50);    // a function key whose scan code is "2" spells the noun
    typeTwoCodeKey(224, 80);  // Down: its scan code is "P", which passes
    typeKeys("g");
    EXPECT_EQ(reviewSpelling("a", "o", "e"), 'P');
    // Entry, 224, 72 and 0 each draw the prompt; so does Down's 224.
    EXPECT_EQ(heardAndWaited(),
              (std::vector<std::string>{"500", "500", "500", "500", "data\\O.wav", "100", "500"}));
    EXPECT_EQ(testConsole().typed.size(), 1u);  // the "g" is left for the round
}

TEST_F(SpellingReview, EveryLowerCaseLetterAndTheDashHasASoundInBothVoices)
{
    const std::string characters = "abcdefghijklmnopqrstuvwxyz-";
    for (char character : characters) {
        spellLetter(character);
        spellPhonetic(character);
    }
    const std::vector<std::string> sounds = soundsPlayed();
    ASSERT_EQ(sounds.size(), 2 * characters.size());
    EXPECT_EQ(sounds[0], "data\\A.wav");
    EXPECT_EQ(sounds[1], "data\\alpha.wav");
    EXPECT_EQ(sounds[2 * 23], "data\\X.wav");
    EXPECT_EQ(sounds[2 * 23 + 1], "data\\xray.wav");
    EXPECT_EQ(sounds[52], "data\\blank.wav");
    EXPECT_EQ(sounds[53], "data\\blank.wav");
    // 53 different recordings, each of them shipped in data/.
    EXPECT_EQ(std::set<std::string>(sounds.begin(), sounds.end()).size(), 53u);
    for (const std::string& sound : sounds)
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(HKH_SOURCE_DIR) / nativePath(sound))) << sound;
}

TEST_F(SpellingReview, CharactersOutsideTheTablesAreSilent)
{
    for (char character : std::string("AZ 0?_\x7f")) {
        spellLetter(character);
        spellPhonetic(character);
    }
    spellLetter(static_cast<char>(0xE9));
    EXPECT_TRUE(soundsPlayed().empty());
}

}  // namespace
