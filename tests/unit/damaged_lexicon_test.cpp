// Whole rounds on damaged lexicon files, as the player sees them: the round
// screen shows only words of lower-case letters, at their lengths, and no
// control character ever reaches the screen.
#include <gtest/gtest.h>

#include <string>

#include "console/console_double.h"
#include "round_play.h"

namespace {

using namespace std::string_literals;

struct DamagedLexicon : ::testing::Test {
    ScratchDirectory scratch;
    void SetUp() override { scratch = enterScratchDirectory(); }
    void TearDown() override { leaveScratchDirectory(scratch); }

    void writeEveryFile(const std::string& adjectives, const std::string& nouns, const std::string& verbs)
    {
        writeFamily(adjectiveFamily, [&](int) { return adjectives; });
        writeFamily(nounFamily, [&](int) { return nouns; });
        writeFamily(verbFamily, [&](int) { return verbs; });
    }
};

bool screenHoldsNoControlCharacter()
{
    for (int row = 1; row <= screenRows; ++row) {
        for (char cell : screenRow(row)) {
            auto byte = static_cast<unsigned char>(cell);
            if (byte < 32 || byte == 127) return false;
        }
    }
    return true;
}

TEST_F(DamagedLexicon, OnlyWholeWordsReachTheRoundScreen)
{
    // Capitals, digits, punctuation, UTF-8, NUL and other control bytes, a
    // token over 19 letters, CRLF lines: only "Happy", "koalas" and "hum" are words.
    const std::string junk = "42 hello! caf\xc3\xa9 n\x01ope tab\x00le "s + std::string(20, 'x') + " \x1b[2J\r\n";
    std::string adjectives, nouns, verbs;
    for (int time = 0; time < 200; ++time) {
        adjectives += junk + "Happy\r\n";
        nouns += junk + "KOALAS\r\n";
        verbs += junk + "hum\r\n";
    }
    writeEveryFile(adjectives, nouns, verbs);
    for (unsigned seed : {1u, 7u, 1234u}) {
        EXPECT_EQ(playScript("", seed), SessionEnd::scriptRanOut);
        EXPECT_EQ(trimmedRow(23), "The phrase is: h---- k----- h--") << seed;
        EXPECT_TRUE(screenHoldsNoControlCharacter()) << seed;
    }
}

TEST_F(DamagedLexicon, AFileOfOneGiantLineReadsLikeAnyOther)
{
    std::string line;
    for (int word = 0; word < 100000; ++word) line += "sleepy ";  // 700 kB, no line break
    writeEveryFile(line, "koalas " + line, line + "nod");
    EXPECT_EQ(playScript("", 3), SessionEnd::scriptRanOut);
    const std::string row = trimmedRow(23);
    EXPECT_TRUE(row == "The phrase is: s----- k----- s-----" || row == "The phrase is: s----- s----- s-----") << row;
    EXPECT_TRUE(screenHoldsNoControlCharacter());
}

TEST_F(DamagedLexicon, AGiantLineWithoutAWordShowsTheMissingLexiconScreen)
{
    writeEveryFile(std::string(3000000, 'a'), "koalas", "hum");
    EXPECT_EQ(playScript(escape, 1), SessionEnd::programEnded);
    EXPECT_EQ(trimmedRow(1), "Sorry, the lexicon files could not be located");
    EXPECT_TRUE(screenHoldsNoControlCharacter());
}

}  // namespace
