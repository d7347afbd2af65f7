// Checks the word lists committed in lex/ for what the game needs of them: a
// damaged or hand-edited list is caught before a player meets it. Which words
// are fit to play (familiar, true to their part of speech, on no ban or
// profanity list) is tools/make_lexicon.py's to measure and enforce when it
// writes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>

#include "lexicon/lexicon_layout.h"
#include "tests/support/golden_file.h"
#include "tests/support/lexicon_writer.h"

namespace {

TEST(LexiconFiles, EveryFileHoldsItsCountOfPlainWordsAndTheLongestPhraseFits)
{
    std::size_t phraseLetters = 0;
    for (const LexiconFamily& family : {adjectiveFamily, nounFamily, verbFamily}) {
        std::size_t longest = 0;
        for (int number = 0; number < family.fileCount; ++number) {
            const std::string file = familyFileName(family, number);
            const std::string text = readWholeFile(std::filesystem::path(HKH_SOURCE_DIR) / "lex" / file);
            std::istringstream in(text);
            const std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
            // a full file holds one word past a draw's reach, the last exactly what a draw names
            const bool last = number == family.fileCount - 1;
            EXPECT_EQ(words.size(), std::size_t(last ? family.lastFileReach - 1 : fullFileReach)) << file;
            EXPECT_EQ(text.find('\r'), std::string::npos) << file;
            for (const std::string& word : words) {
                EXPECT_TRUE(word.size() >= 3 && word.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos)
                    << file << ": " << word;
                longest = std::max(longest, word.size());
            }
        }
        phraseLetters += longest;
    }
    EXPECT_LE(phraseLetters, 37u);  // the phrase buffers' letters
}

}  // namespace
