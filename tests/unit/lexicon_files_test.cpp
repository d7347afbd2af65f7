// Checks the word lists committed in lex/: the files the game draws its
// phrases from. tools/make_lexicon.py writes them and the records beside it;
// these tests catch a damaged or hand-edited list before a player meets it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lexicon/lexicon_layout.h"

namespace {

struct Family {
    std::string name;
    std::string prefix;  // file name without its number, e.g. "agrp"
    LexiconFamily layout;
    std::size_t leastDistinct;
    double familiarZipf;   // a word at least this familiar counts as known
    double familiarShare;  // of the drawable positions
};

constexpr std::size_t kLongestWord = 19;
constexpr std::size_t kLongestPhraseLetters = 37;
constexpr int kRandomRange = 32768;  // the game's random numbers: 0 to 32767
constexpr double kMostOddsOverMedian = 5.0;

const std::vector<Family>& families() {
    static const std::vector<Family> all = {
        {"adjectives", "agrp", adjectiveFamily, 2000, 3.0, 0.97},
        {"nouns", "ngrp", nounFamily, 2000, 2.5, 0.95},
        {"verbs", "vgrp", verbFamily, 1400, 3.0, 0.97},
    };
    return all;
}

std::string sourcePath(const std::string& relative) {
    return std::string(HKH_SOURCE_DIR) + "/" + relative;
}

bool readText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::vector<std::string> splitWords(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

// Lines of a record written by the generator, without its # comments.
std::vector<std::vector<std::string>> readRecord(const std::string& relative) {
    std::string text;
    EXPECT_TRUE(readText(sourcePath(relative), text)) << relative;
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') {
            lines.push_back(splitWords(line));
        }
    }
    return lines;
}

bool isLast(const Family& family, int number) { return number == family.layout.fileCount - 1; }

int reach(const Family& family, int number) {
    return isLast(family, number) ? family.layout.lastFileReach : fullFileReach;
}

std::string filePath(const Family& family, int number) {
    return sourcePath("lex/" + family.prefix + std::to_string(number));
}

std::vector<std::string> readWords(const Family& family, int number) {
    std::string text;
    if (!readText(filePath(family, number), text)) {
        ADD_FAILURE() << "cannot open " << filePath(family, number);
        return {};
    }
    return splitWords(text);
}

// A full file holds one word past the reach of a draw; the last file holds
// exactly the words a draw can name.
std::size_t expectedCount(const Family& family, int number) {
    return isLast(family, number) ? family.layout.lastFileReach - 1 : fullFileReach;
}

// How many random numbers give `value` modulo `modulus`.
int waysTo(int modulus, int value) { return kRandomRange / modulus + (value < kRandomRange % modulus ? 1 : 0); }

struct Position {
    std::string word;
    double odds;  // the chance that a draw names this position
};

// Every position a draw can name, with its true odds: a draw of 0 reads the
// first word too, and the last file is drawn by a smaller modulus.
std::vector<Position> drawablePositions(const Family& family) {
    std::vector<Position> positions;
    for (int number = 0; number < family.layout.fileCount; ++number) {
        const std::vector<std::string> words = readWords(family, number);
        const double fileOdds = double(waysTo(family.layout.fileCount, number)) / kRandomRange;
        for (int count = 1; count < reach(family, number) && count <= int(words.size()); ++count) {
            int ways = waysTo(reach(family, number), count) + (count == 1 ? waysTo(reach(family, number), 0) : 0);
            positions.push_back({words[count - 1], fileOdds * ways / kRandomRange});
        }
    }
    return positions;
}

bool isLowerCaseWord(const std::string& token) {
    return !token.empty() && token.size() <= kLongestWord &&
           std::all_of(token.begin(), token.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// FNV-1a, 64 bits, as the generator hashes the profanity list.
std::string wordHash(const std::string& word) {
    std::uint64_t value = 0xCBF29CE484222325ull;
    for (unsigned char c : word) {
        value = (value ^ c) * 0x100000001B3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

TEST(LexiconFiles, EveryFileHoldsItsWordCountOfLowerCaseWords) {
    int filesSeen = 0;
    for (const Family& family : families()) {
        for (int number = 0; number < family.layout.fileCount; ++number) {
            std::string text;
            ASSERT_TRUE(readText(filePath(family, number), text)) << filePath(family, number);
            ++filesSeen;
            EXPECT_EQ(text.find('\r'), std::string::npos) << family.prefix << number << " has CR";
            const std::vector<std::string> words = splitWords(text);
            EXPECT_EQ(words.size(), expectedCount(family, number)) << family.prefix << number;
            for (const std::string& word : words) {
                EXPECT_TRUE(isLowerCaseWord(word)) << family.prefix << number << ": '" << word << "'";
                // two-letter words give the player nothing to uncover
                EXPECT_GE(word.size(), 3u) << family.prefix << number << ": " << word;
            }
        }
    }
    EXPECT_EQ(filesSeen, 89);
}

TEST(LexiconFiles, LongestPossiblePhraseFitsThePhraseBuffers) {
    std::size_t letters = 0;
    for (const Family& family : families()) {
        std::size_t longest = 0;
        for (const Position& position : drawablePositions(family)) {
            longest = std::max(longest, position.word.size());
        }
        letters += longest;
    }
    EXPECT_LE(letters, kLongestPhraseLetters);
}

// Familiar words stand at several positions, but no word may come up more
// than five times as often as the family's median word.
TEST(LexiconFiles, EnoughDistinctWordsAndNoneDrawnFarTooOften) {
    for (const Family& family : families()) {
        const std::vector<Position> positions = drawablePositions(family);
        std::size_t expectedPositions = 0;
        for (int number = 0; number < family.layout.fileCount; ++number) {
            expectedPositions += reach(family, number) - 1;
        }
        EXPECT_EQ(positions.size(), expectedPositions) << family.name;
        std::map<std::string, double> odds;
        for (const Position& position : positions) {
            odds[position.word] += position.odds;
        }
        EXPECT_GE(odds.size(), family.leastDistinct) << family.name;
        std::vector<double> ordered;
        for (const auto& entry : odds) {
            ordered.push_back(entry.second);
        }
        std::sort(ordered.begin(), ordered.end());
        EXPECT_LE(ordered.back() / ordered[ordered.size() / 2], kMostOddsOverMedian) << family.name;
    }
}

TEST(LexiconFiles, NoWordOfTheBanOrProfanityList) {
    std::string banText;
    ASSERT_TRUE(readText(sourcePath("tools/lexicon_banned.txt"), banText));
    const std::vector<std::string> bannedList = splitWords(banText);
    ASSERT_FALSE(bannedList.empty());
    const std::set<std::string> banned(bannedList.begin(), bannedList.end());
    std::set<std::string> profanity;
    for (const auto& line : readRecord("tools/lexicon_profanity.txt")) {
        profanity.insert(line.at(0));
    }
    ASSERT_GT(profanity.size(), 100u);
    for (const Family& family : families()) {
        for (int number = 0; number < family.layout.fileCount; ++number) {
            for (const std::string& word : readWords(family, number)) {
                EXPECT_EQ(banned.count(word), 0u) << family.prefix << number << ": " << word;
                EXPECT_EQ(profanity.count(wordHash(word)), 0u) << family.prefix << number << ": " << word;
            }
        }
    }
}

// Words that break the phrase: determiners and numbers before a plural noun,
// adjectives used only after a verb, plurals read as verbs, verbs read as
// colours or nouns, and British-only words.
TEST(LexiconFiles, NoWordThatBreaksThePhrase) {
    const std::map<std::string, std::vector<std::string>> breakers = {
        {"adjectives", {"one", "each", "every", "another", "much", "own", "million", "twelfth", "alone", "ajar",
                        "akin", "aghast", "awry", "amiss", "placed", "granted", "asserted", "crackle", "collect",
                        "shed", "testimonial", "deterrent", "twee"}},
        {"nouns", {"finds", "grabs", "binds", "joins", "skips", "adverts", "lavatories", "crisps", "lads"}},
        {"verbs", {"white", "crimson", "black", "joint", "sorrow", "bed", "mat", "skin", "silver", "holidayed",
                   "laddered"}},
    };
    for (const Family& family : families()) {
        const std::vector<std::string>& listed = breakers.at(family.name);
        for (int number = 0; number < family.layout.fileCount; ++number) {
            for (const std::string& word : readWords(family, number)) {
                EXPECT_EQ(std::count(listed.begin(), listed.end(), word), 0) << family.prefix << number << ": " << word;
            }
        }
    }
}

// How often American speakers hear each word (Zipf), from the generator's
// table: every drawable word is listed, and enough positions are familiar.
TEST(LexiconFiles, DrawablePositionsAreFamiliarWords) {
    std::map<std::string, std::map<std::string, double>> zipf;
    for (const auto& line : readRecord("tools/lexicon_familiarity.txt")) {
        ASSERT_EQ(line.size(), 3u);
        zipf[line[0]][line[1]] = std::stod(line[2]);  // file prefix, word, Zipf
    }
    for (const Family& family : families()) {
        const std::vector<Position> positions = drawablePositions(family);
        std::size_t familiar = 0;
        for (const Position& position : positions) {
            const auto found = zipf[family.prefix].find(position.word);
            ASSERT_NE(found, zipf[family.prefix].end()) << family.name << ": " << position.word << " not in the table";
            familiar += found->second >= family.familiarZipf ? 1 : 0;
        }
        EXPECT_GE(double(familiar) / positions.size(), family.familiarShare) << family.name;
    }
}

}  // namespace
