// Checks the word lists committed in lex/ for what the game needs of them: a
// damaged or hand-edited list is caught before a player meets it. How good
// the lists are (familiar words, even draw odds) is tools/make_lexicon.py's
// to measure and enforce when it writes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lexicon/lexicon_layout.h"

namespace {

struct Family {
    std::string prefix;  // file name without its number, e.g. "agrp"
    LexiconFamily layout;
    std::set<std::string> breakers;  // words that break the phrase in this place
};

// Determiners and numbers before a plural noun, adjectives used only after a
// verb, plurals read as verbs, verbs read as colours or nouns, British words.
const std::vector<Family> families = {
    {"agrp", adjectiveFamily, {"one", "each", "every", "another", "much", "own", "million", "twelfth", "alone", "ajar",
                               "akin", "aghast", "awry", "amiss", "placed", "granted", "asserted", "crackle", "collect",
                               "shed", "testimonial", "deterrent", "twee"}},
    {"ngrp", nounFamily, {"finds", "grabs", "binds", "joins", "skips", "adverts", "lavatories", "crisps", "lads"}},
    {"vgrp", verbFamily, {"white", "crimson", "black", "joint", "sorrow", "bed", "mat", "skin", "silver", "holidayed",
                          "laddered"}},
};

std::string readText(const std::string& relative) {
    std::ifstream in(std::string(HKH_SOURCE_DIR) + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in) << relative;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> splitWords(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// FNV-1a, 64 bits, as the generator hashes the profanity list.
std::string wordHash(const std::string& word) {
    std::uint64_t value = 0xCBF29CE484222325ull;
    for (unsigned char c : word) value = (value ^ c) * 0x100000001B3ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

bool isPlayableWord(const std::string& word) {
    return word.size() >= 3 && word.size() <= 19 && std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

TEST(LexiconFiles, EveryFileHoldsItsCountOfPlayableWordsAndTheLongestPhraseFits) {
    const std::vector<std::string> bannedList = splitWords(readText("tools/lexicon_banned.txt"));
    const std::set<std::string> banned(bannedList.begin(), bannedList.end());
    const std::vector<std::string> hashes = splitWords(readText("tools/lexicon_profanity.txt"));
    const std::set<std::string> profanity(hashes.begin(), hashes.end());
    ASSERT_GT(banned.size(), 10u);
    ASSERT_GT(profanity.size(), 100u);
    std::size_t phraseLetters = 0;
    for (const Family& family : families) {
        std::size_t longest = 0;
        for (int number = 0; number < family.layout.fileCount; ++number) {
            const std::string text = readText("lex/" + family.prefix + std::to_string(number));
            const bool last = number == family.layout.fileCount - 1;
            const std::vector<std::string> words = splitWords(text);
            // a full file holds one word past a draw's reach, the last exactly what a draw names
            EXPECT_EQ(words.size(), std::size_t(last ? family.layout.lastFileReach - 1 : fullFileReach)) << family.prefix << number;
            EXPECT_EQ(text.find('\r'), std::string::npos) << family.prefix << number;
            for (const std::string& word : words) {
                SCOPED_TRACE(family.prefix + std::to_string(number) + ": " + word);
                EXPECT_TRUE(isPlayableWord(word));
                EXPECT_FALSE(banned.count(word) || profanity.count(wordHash(word)) || family.breakers.count(word));
                longest = std::max(longest, word.size());
            }
        }
        phraseLetters += longest;
    }
    EXPECT_LE(phraseLetters, 37u);  // the phrase buffers' letters
}

}  // namespace
