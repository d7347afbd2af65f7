// Checks the word lists committed in lex/ for what the game needs of them: a
// damaged or hand-edited list is caught before a player meets it. How good
// the lists are (familiar words, even draw odds) is tools/make_lexicon.py's
// to measure and enforce when it writes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lexicon/lexicon_layout.h"
#include "tests/support/golden_file.h"

namespace {

struct Family {
    std::string prefix;  // file name without its number, e.g. "agrp"
    LexiconFamily layout;
    std::set<std::string> breakers;  // words that break the phrase in this place
};

// Determiners and numbers before a plural noun, adjectives used only after a
// verb, plurals read as verbs, verbs read as colours or nouns, British words.
const std::vector<Family> families = {
    {"agrp", adjectiveFamily, {"one", "each", "every", "another", "much", "own", "million", "twelfth", "alone", "ajar", "akin",
        "aghast", "awry", "amiss", "placed", "granted", "asserted", "crackle", "collect", "shed", "testimonial", "deterrent", "twee"}},
    {"ngrp", nounFamily, {"finds", "grabs", "binds", "joins", "skips", "adverts", "lavatories", "crisps", "lads"}},
    {"vgrp", verbFamily, {"white", "crimson", "black", "joint", "sorrow", "bed", "mat", "skin", "silver", "holidayed", "laddered"}},
};

std::string readText(const std::string& relative) { return readWholeFile(std::filesystem::path(HKH_SOURCE_DIR) / relative); }

std::vector<std::string> splitWords(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

std::set<std::string> wordSet(const std::string& relative) {
    const std::vector<std::string> words = splitWords(readText(relative));
    return {words.begin(), words.end()};
}

// FNV-1a, 64 bits, as the generator hashes the profanity list.
std::string wordHash(const std::string& word) {
    std::uint64_t value = 0xCBF29CE484222325ull;
    for (unsigned char c : word) value = (value ^ c) * 0x100000001B3ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

TEST(LexiconFiles, EveryFileHoldsItsCountOfPlayableWordsAndTheLongestPhraseFits) {
    const std::set<std::string> banned = wordSet("tools/lexicon_banned.txt");
    const std::set<std::string> profanity = wordSet("tools/lexicon_profanity.txt");  // hashes, and the header's words
    ASSERT_TRUE(banned.size() > 10 && profanity.size() > 100);
    std::size_t phraseLetters = 0;
    for (const Family& family : families) {
        std::size_t longest = 0;
        for (int number = 0; number < family.layout.fileCount; ++number) {
            const std::string file = family.prefix + std::to_string(number), text = readText("lex/" + file);
            const std::vector<std::string> words = splitWords(text);
            // a full file holds one word past a draw's reach, the last exactly what a draw names
            const bool last = number == family.layout.fileCount - 1;
            EXPECT_EQ(words.size(), std::size_t(last ? family.layout.lastFileReach - 1 : fullFileReach)) << file;
            EXPECT_EQ(text.find('\r'), std::string::npos) << file;
            for (const std::string& word : words) {
                SCOPED_TRACE(file + ": " + word);
                EXPECT_TRUE(word.size() >= 3 && word.size() <= 19 && word.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos);
                EXPECT_FALSE(banned.count(word) || profanity.count(wordHash(word)) || family.breakers.count(word));
                longest = std::max(longest, word.size());
            }
        }
        phraseLetters += longest;
    }
    EXPECT_LE(phraseLetters, 37u);  // the phrase buffers' letters
}

}  // namespace
