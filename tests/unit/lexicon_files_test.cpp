// Checks the word lists committed in lex/: the files the game draws its
// phrases from. tools/make_lexicon.py writes them; these tests catch a
// damaged or hand-edited list before a player meets it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Family {
    std::string name;
    std::string prefix;     // file name without its number, e.g. "agrp"
    int files;              // numbered 0 to files - 1
    std::size_t lastCount;  // words in the last file; the others hold 200
    std::size_t lastReach;  // words a draw can name in the last file
};

constexpr std::size_t kWordsPerFile = 200;
// A draw names the 1st to the 199th word of a full file (a draw of 0 reads
// the first word), so the 200th is never played.
constexpr std::size_t kFullFileReach = 199;
constexpr std::size_t kLongestWord = 19;
constexpr std::size_t kLongestPhraseLetters = 37;

const std::vector<Family>& families() {
    static const std::vector<Family> all = {
        {"adjectives", "agrp", 33, 154, 154},
        {"nouns", "ngrp", 33, 132, 132},
        {"verbs", "vgrp", 23, 72, 72},
    };
    return all;
}

std::string sourcePath(const std::string& relative) {
    return std::string(HKH_SOURCE_DIR) + "/" + relative;
}

std::string filePath(const Family& family, int number) {
    return sourcePath("lex/" + family.prefix + std::to_string(number));
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

std::vector<std::string> readWords(const Family& family, int number) {
    std::string text;
    if (!readText(filePath(family, number), text)) {
        ADD_FAILURE() << "cannot open " << filePath(family, number);
        return {};
    }
    return splitWords(text);
}

bool isLast(const Family& family, int number) { return number == family.files - 1; }

std::size_t expectedCount(const Family& family, int number) {
    return isLast(family, number) ? family.lastCount : kWordsPerFile;
}

// The words a draw can reach in one file, in file order.
std::vector<std::string> drawableWords(const Family& family, int number) {
    std::vector<std::string> words = readWords(family, number);
    const std::size_t reach = isLast(family, number) ? family.lastReach : kFullFileReach;
    if (words.size() > reach) {
        words.resize(reach);
    }
    return words;
}

bool isLowerCaseWord(const std::string& token) {
    return !token.empty() && token.size() <= kLongestWord &&
           std::all_of(token.begin(), token.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

TEST(LexiconFiles, EveryFileExistsWithItsWordCount) {
    int filesSeen = 0;
    for (const Family& family : families()) {
        for (int number = 0; number < family.files; ++number) {
            std::string text;
            ASSERT_TRUE(readText(filePath(family, number), text)) << filePath(family, number);
            ++filesSeen;
            EXPECT_EQ(splitWords(text).size(), expectedCount(family, number))
                << family.prefix << number;
            EXPECT_EQ(text.find('\r'), std::string::npos) << family.prefix << number << " has CR";
        }
    }
    EXPECT_EQ(filesSeen, 89);
}

TEST(LexiconFiles, EveryTokenIsALowerCaseWordOfThreeToNineteenLetters) {
    for (const Family& family : families()) {
        for (int number = 0; number < family.files; ++number) {
            for (const std::string& word : readWords(family, number)) {
                EXPECT_TRUE(isLowerCaseWord(word)) << family.prefix << number << ": '" << word << "'";
                // two-letter words give the player nothing to uncover
                EXPECT_GE(word.size(), 3u) << family.prefix << number << ": " << word;
            }
        }
    }
}

TEST(LexiconFiles, NoDrawableWordRepeatsWithinAFamily) {
    for (const Family& family : families()) {
        std::set<std::string> seen;
        std::size_t drawable = 0;
        for (int number = 0; number < family.files; ++number) {
            for (const std::string& word : drawableWords(family, number)) {
                ++drawable;
                EXPECT_TRUE(seen.insert(word).second)
                    << family.name << " repeat '" << word << "' in " << family.prefix << number;
            }
        }
        EXPECT_EQ(seen.size(), drawable) << family.name;
    }
}

TEST(LexiconFiles, LongestPossiblePhraseFitsThePhraseBuffers) {
    std::size_t letters = 0;
    for (const Family& family : families()) {
        std::size_t longest = 0;
        for (int number = 0; number < family.files; ++number) {
            for (const std::string& word : drawableWords(family, number)) {
                longest = std::max(longest, word.size());
            }
        }
        letters += longest;
    }
    EXPECT_LE(letters, kLongestPhraseLetters);
}

TEST(LexiconFiles, NoBannedWordIsShipped) {
    std::string banText;
    ASSERT_TRUE(readText(sourcePath("tools/lexicon_banned.txt"), banText));
    const std::vector<std::string> bannedList = splitWords(banText);
    ASSERT_FALSE(bannedList.empty());
    const std::set<std::string> banned(bannedList.begin(), bannedList.end());
    for (const Family& family : families()) {
        for (int number = 0; number < family.files; ++number) {
            for (const std::string& word : readWords(family, number)) {
                EXPECT_EQ(banned.count(word), 0u) << family.prefix << number << ": " << word;
            }
        }
    }
}

}  // namespace
