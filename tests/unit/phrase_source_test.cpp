#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "console/console.h"
#include "console/console_double.h"
#include "lexicon/phrase_source.h"
#include "lexicon/random_number.h"
#include "tests/support/scratch_directory.h"

namespace {

// Words that name where they stand: "q" + file in two letters + "x" + position
// in two letters, so a drawn word tells which file and which position it came from.
std::string twoLetters(int number) { return {static_cast<char>('a' + number / 26), static_cast<char>('a' + number % 26)}; }
std::string positionWord(int file, int position)
{
    return std::string("q").append(twoLetters(file)).append("x").append(twoLetters(position));
}
int fileOf(const std::string& word) { return (word[1] - 'a') * 26 + (word[2] - 'a'); }
int positionOf(const std::string& word) { return (word[4] - 'a') * 26 + (word[5] - 'a'); }

void writeNamingLexicon()
{
    auto namingFile = [](int file) {
        std::string text;
        for (int position = 1; position <= fullFileReach; ++position) text += positionWord(file, position) + " ";
        return text;
    };
    for (const LexiconFamily& family : {adjectiveFamily, nounFamily, verbFamily}) writeFamily(family, namingFile);
}

struct PhraseSource : ::testing::Test {
    ScratchDirectory scratch;
    void SetUp() override
    {
        resetTestConsole();
        scratch = enterScratchDirectory();
    }
    void TearDown() override { leaveScratchDirectory(scratch); }

    std::string wordAt(const std::string& content, int wordCount)
    {
        writeLexiconFile(familyFileName(adjectiveFamily, 5), content);
        std::string word = "stale";
        readLexiconWord(5, wordCount, adjectiveFamily.basePath, word);
        return word;
    }

    int missingScreenStatus(int fileNumber, int wordCount)
    {
        std::string word;
        try {
            readLexiconWord(fileNumber, wordCount, adjectiveFamily.basePath, word);
        } catch (const ProgramEnded& ended) {
            return ended.status;
        }
        return -1;
    }
};

TEST_F(PhraseSource, TakesSixDrawsPerPhraseFileThenPositionInFamilyOrder)
{
    writeNamingLexicon();
    seedRandom(4242);
    int draws[6];
    for (int& draw : draws) draw = nextRandom();
    seedRandom(4242);
    std::string adjective, noun, verb;
    pickAdjective(adjective);
    pickNoun(noun);
    pickVerb(verb);

    auto expectDrawn = [](const std::string& word, int fileDraw, int countDraw, const LexiconFamily& family) {
        int file = fileDraw % family.fileCount;
        int count = countDraw % (file == family.fileCount - 1 ? family.lastFileReach : fullFileReach);
        EXPECT_EQ(fileOf(word), file);
        EXPECT_EQ(positionOf(word), std::max(count, 1));
    };
    expectDrawn(adjective, draws[0], draws[1], adjectiveFamily);
    expectDrawn(noun, draws[2], draws[3], nounFamily);
    expectDrawn(verb, draws[4], draws[5], verbFamily);
    EXPECT_EQ(adjective.substr(0, 1) + noun.substr(0, 1) + verb.substr(0, 1), "qqq");
}

TEST_F(PhraseSource, TheLastFileOfEachFamilyIsDrawnOnlyAsFarAsItReaches)
{
    writeNamingLexicon();
    struct Family {
        void (*pick)(std::string&);
        int files;
        int lastReach;
    };
    const Family families[] = {{pickAdjective, adjectiveFamily.fileCount, adjectiveFamily.lastFileReach},
                               {pickNoun, nounFamily.fileCount, nounFamily.lastFileReach},
                               {pickVerb, verbFamily.fileCount, verbFamily.lastFileReach}};
    for (int index = 0; index < 3; ++index) {
        const Family& family = families[index];
        // Seeds whose count draw lies beyond the last file's reach, for the last
        // file and the one before it.
        int checkedLast = 0, checkedOther = 0;
        for (unsigned seed = 1; seed < 200000 && (checkedLast < 3 || checkedOther < 3); ++seed) {
            seedRandom(seed);
            for (int skip = 0; skip < 2 * index; ++skip) nextRandom();
            int file = nextRandom() % family.files;
            int countDraw = nextRandom();
            if (countDraw % fullFileReach < family.lastReach || file < family.files - 2) continue;
            bool isLast = file == family.files - 1;
            if ((isLast ? checkedLast : checkedOther) >= 3) continue;
            (isLast ? checkedLast : checkedOther)++;

            seedRandom(seed);
            std::string words[3];
            for (int pick = 0; pick <= index; ++pick) families[pick].pick(words[pick]);
            EXPECT_EQ(fileOf(words[index]), file);
            int expected = isLast ? countDraw % family.lastReach : countDraw % fullFileReach;
            EXPECT_EQ(positionOf(words[index]), std::max(expected, 1)) << "family " << index << " seed " << seed;
        }
        EXPECT_EQ(checkedLast, 3);
        EXPECT_EQ(checkedOther, 3);
    }
}

TEST_F(PhraseSource, CountsWordsNotLinesWhateverTheLineEnds)
{
    EXPECT_EQ(wordAt("cheerful\nsleepy\nfuzzy\nbrave\n", 3), "fuzzy");
    EXPECT_EQ(wordAt("cheerful sleepy\tfuzzy  brave", 3), "fuzzy");
    EXPECT_EQ(wordAt("cheerful\r\nsleepy\r\nfuzzy\r\nbrave\r\n", 3), "fuzzy");
    EXPECT_EQ(wordAt("\f\vcheerful\r\n\r\n  sleepy fuzzy\n", 2), "sleepy");
}

TEST_F(PhraseSource, AZeroDrawReadsTheFirstWordAndAShortFileItsLast)
{
    EXPECT_EQ(wordAt("cheerful sleepy fuzzy", 0), "cheerful");
    EXPECT_EQ(wordAt("cheerful sleepy fuzzy", 3), "fuzzy");
    EXPECT_EQ(wordAt("cheerful sleepy fuzzy", 4), "fuzzy");
    EXPECT_EQ(wordAt("cheerful sleepy fuzzy", 199), "fuzzy");
}

TEST_F(PhraseSource, SkipsTokensThatAreNotWordsAndFoldsCapitals)
{
    std::string overLong(20, 'x');
    using namespace std::string_literals;
    std::string damaged = "Sunny 42 hello! caf\xc3\xa9 "s + overLong + " n\x01ope tab\x00le calm"s;
    EXPECT_EQ(wordAt(damaged, 1), "sunny");
    EXPECT_EQ(wordAt(damaged, 2), "calm");
    EXPECT_EQ(wordAt(std::string(19, 'y') + " z", 1), std::string(19, 'y'));
    EXPECT_EQ(wordAt(std::string(100000, 'k') + " gentle", 1), "gentle");
}

TEST_F(PhraseSource, AMissingFileShowsTheMissingLexiconScreenEvenForADrawOfZero)
{
    setCursor(1, 23);
    std::cout << "The phrase is: h---- k----- h--";
    typeKeys("qx\r");
    typeCode(ctrlCKey);
    typeCode(escapeKey);
    EXPECT_EQ(missingScreenStatus(3, 0), 0);
    EXPECT_EQ(trimmedRow(1), "Sorry, the lexicon files could not be located");
    EXPECT_EQ(screenText(34, 22, 21), "Press ESCAPE to exit ");
    EXPECT_EQ(trimmedRow(23), "The phrase is: h---- k----- h--");  // only row 1 is cleared
    EXPECT_EQ(pausesTaken(), std::vector<int>{1000});
    EXPECT_EQ(soundsPlayed(), (std::vector<std::string>{"data\\hum.wav", "data\\exit.wav"}));
    EXPECT_TRUE(testConsole().typed.empty());
}

TEST_F(PhraseSource, AFileWithNoWordOrADirectoryIsTreatedAsMissing)
{
    writeLexiconFile("agrp1", "");
    writeLexiconFile("agrp2", "123 ;; \xc3\xa9t\xc3\xa9\r\n");
    std::filesystem::create_directory("lex/agrp4");
    for (int file : {1, 2, 4}) {
        resetTestConsole();
        typeCode(escapeKey);
        EXPECT_EQ(missingScreenStatus(file, 5), 0) << file;
        EXPECT_EQ(trimmedRow(1), "Sorry, the lexicon files could not be located") << file;
    }
}

}  // namespace
