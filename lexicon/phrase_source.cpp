#include "lexicon/phrase_source.h"

#include <filesystem>
#include <fstream>
#include <iostream>

#include "lexicon/lexicon_layout.h"
#include "lexicon/random_number.h"
#include "screen/screen.h"

namespace {

// Only this row is cleared: the rest of the screen keeps what it showed.
constexpr int missingMessageRow = 1;

// Two draws, always in this order: the file, then the position in it.
void pickWord(const LexiconFamily& family, std::string& word)
{
    const int fileRandom = nextRandom();
    const WordPosition position = locateWord(family, fileRandom, nextRandom());
    readLexiconWord(position.fileNumber, position.wordCount, family.basePath, word);
}

bool isSeparator(int byte)
{
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\r' || byte == '\v' || byte == '\f';
}

bool isLetter(int byte) { return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z'); }

// Reads the next token; returns false at the end of the file. A token counts
// as a word only if it is 1 to 19 letters, folded to lower case; anything
// longer is never stored past the limit.
bool readToken(std::streambuf& file, std::string& token, bool& isWord)
{
    int byte = file.sbumpc();
    while (byte != std::char_traits<char>::eof() && isSeparator(byte)) byte = file.sbumpc();
    if (byte == std::char_traits<char>::eof()) return false;
    token.clear();
    isWord = true;
    for (; byte != std::char_traits<char>::eof() && !isSeparator(byte); byte = file.sbumpc()) {
        if (!isLetter(byte) || token.size() == lexiconWordLimit) {
            isWord = false;
            continue;
        }
        token.push_back(static_cast<char>(foldKey(byte)));
    }
    return true;
}

}  // namespace

void pickAdjective(std::string& word) { pickWord(adjectiveFamily, word); }
void pickNoun(std::string& word) { pickWord(nounFamily, word); }
void pickVerb(std::string& word) { pickWord(verbFamily, word); }

void readLexiconWord(int fileNumber, int wordCount, const std::string& basePath, std::string& word)
{
    std::string path = nativePath(basePath + std::to_string(fileNumber));
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) lexiconMissing();
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) lexiconMissing();

    // A draw of 0 reads the first word; a file shorter than the draw yields its last word.
    int wanted = wordCount < 1 ? 1 : wordCount;
    int wordsRead = 0;
    std::string token;
    bool isWord = false;
    std::string lastWord;
    while (wordsRead < wanted && readToken(*file.rdbuf(), token, isWord)) {
        if (!isWord) continue;
        lastWord = token;
        ++wordsRead;
    }
    file.close();
    if (wordsRead == 0) lexiconMissing();
    word = lastWord;
}

void lexiconMissing()
{
    blankRow(missingMessageRow);
    pause(1000);
    std::cout << "Sorry, the lexicon files could not be located";
    closeGame("Press ESCAPE to exit ", {"data\\hum.wav", "data\\exit.wav"});
}
