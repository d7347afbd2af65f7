// The lexicon reader over arbitrary file contents and word counts. The word
// it gives is 1 to 19 lower-case letters and is the one a plain reading of
// the file names (the count-th word, the first for a count below 1, the last
// for a count past the end); a file with no word shows the missing-lexicon
// screen and ends with status 0.
//
// Input: two bytes of word count (signed, little-endian), then the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/console_double.h"
#include "lexicon/phrase_source.h"
#include "tests/support/scratch_directory.h"

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "lexicon reader: %s\n", what);
    std::abort();
}

// The words of the file as its format describes them, read another way than
// the game reads them: the stream's own whitespace-separated tokens, of which
// those of 1 to 19 ASCII letters are words, in lower case.
std::vector<std::string> wordsOf(const std::string& content)
{
    const std::locale ascii = std::locale::classic();
    std::istringstream stream(content);
    stream.imbue(ascii);
    std::vector<std::string> words;
    for (std::string token; stream >> token;) {
        const bool letters = std::all_of(token.begin(), token.end(), [&](char byte) { return std::isalpha(byte, ascii); });
        if (!letters || token.size() > 19) continue;
        for (char& letter : token) letter = std::tolower(letter, ascii);
        words.push_back(token);
    }
    return words;
}

std::string expectedWord(const std::string& content, int wordCount)
{
    std::vector<std::string> words = wordsOf(content);
    if (words.empty()) return {};
    std::size_t wanted = wordCount < 1 ? 1 : static_cast<std::size_t>(wordCount);
    return words[std::min(wanted, words.size()) - 1];
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static ScratchDirectory scratch = enterScratchDirectory();
    std::atexit([] { leaveScratchDirectory(scratch); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2) return 0;
    const int wordCount = static_cast<std::int16_t>(data[0] | data[1] << 8);
    const std::string content(reinterpret_cast<const char*>(data) + 2, size - 2);
    writeLexiconFile(familyFileName(adjectiveFamily, 0), content);

    resetTestConsole();
    typeCode(escapeKey);  // for the missing-lexicon screen
    std::string word = "stale";
    bool missing = false;
    try {
        readLexiconWord(0, wordCount, adjectiveFamily.basePath, word);
    } catch (const ProgramEnded& ended) {
        if (ended.status != 0) fail("the missing-lexicon screen ended with a status other than 0");
        missing = true;
    }

    const std::string expected = expectedWord(content, wordCount);
    if (expected.empty()) {
        if (!missing) fail("a file with no word gave a word");
        if (trimmedRow(1) != "Sorry, the lexicon files could not be located") fail("no missing-lexicon message");
        return 0;
    }
    if (missing) fail("a file with words was reported missing");
    if (word != expected) fail("not the word the file holds at that count");
    if (word.empty() || word.size() > 19) fail("word length outside 1 to 19");
    for (char letter : word) {
        if (letter < 'a' || letter > 'z') fail("a word with a character other than a to z");
    }
    return 0;
}
