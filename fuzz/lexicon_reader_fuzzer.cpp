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

bool isSeparator(char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == '\v' || byte == '\f';
}

// The words of the file as a reader that holds it all in memory would see them.
std::vector<std::string> wordsOf(const std::string& content)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < content.size()) {
        while (at < content.size() && isSeparator(content[at])) ++at;
        std::size_t end = at;
        while (end < content.size() && !isSeparator(content[end])) ++end;
        if (end == at) break;
        std::string token = content.substr(at, end - at);
        bool isWord = token.size() <= lexiconWordLimit;
        for (char& byte : token) {
            if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte - 'A' + 'a');
            if (byte < 'a' || byte > 'z') isWord = false;
        }
        if (isWord) words.push_back(token);
        at = end;
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
    writeLexiconFile("agrp0", content);

    resetTestConsole();
    typeCode(escapeKey);  // for the missing-lexicon screen
    std::string word = "stale";
    bool missing = false;
    try {
        readLexiconWord(0, wordCount, "lex\\agrp", word);
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
    if (word.empty() || word.size() > lexiconWordLimit) fail("word length outside 1 to 19");
    for (char letter : word) {
        if (letter < 'a' || letter > 'z') fail("a word with a character other than a to z");
    }
    return 0;
}
