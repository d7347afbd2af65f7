// The lexicon reader over arbitrary file contents and word counts. The word
// it gives is the one a plain reading of the file names: of the file's
// whitespace-separated tokens those of 1 to 19 ASCII letters are its words,
// in lower case; the count-th is read, the first for a count below 1, the
// last for a count past the end. A file with no word shows the
// missing-lexicon screen, which ends with status 0.
// Input: two bytes of word count (signed, little-endian), then the file.
#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/console_double.h"
#include "fuzz/property.h"
#include "lexicon/phrase_source.h"
#include "tests/support/program_end.h"

namespace {

std::string expectedWord(const std::string& content, int wordCount)
{
    std::istringstream tokens(content);
    tokens.imbue(std::locale::classic());
    std::vector<std::string> words;
    for (std::string token; tokens >> token;) {
        for (char& letter : token) letter = letter >= 'A' && letter <= 'Z' ? letter + 32 : letter;
        if (token.size() <= 19 && std::all_of(token.begin(), token.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            words.push_back(token);
    }
    if (words.empty()) return {};
    return words[std::min<std::size_t>(std::max(wordCount, 1), words.size()) - 1];
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    workInScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const int wordCount = static_cast<std::int16_t>(twoBytes(data));
    const std::string content(reinterpret_cast<const char*>(data) + 2, size - 2);
    writeLexiconFile(familyFileName(adjectiveFamily, 0), content);
    resetTestConsole();
    typeCode(escapeKey);  // answers the missing-lexicon screen
    std::string word = "stale";
    const int status = endOf([&] { readLexiconWord(0, wordCount, adjectiveFamily.basePath, word); });
    const std::string expected = expectedWord(content, wordCount);
    if (expected.empty()) check(status == 0 && !trimmedRow(1).empty(), "a file with no word did not end through its screen");
    else check(status == stillWaiting && word == expected, "not the word the file holds at that count");
    return 0;
}
