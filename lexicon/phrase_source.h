// The phrase source: each pick draws a file of its family and a position in
// it, and reads that word afresh from the file.
#pragma once

#include <cstddef>
#include <string>

inline constexpr std::size_t lexiconWordLimit = 19;

void pickAdjective(std::string& word);
void pickNoun(std::string& word);
void pickVerb(std::string& word);

// Reads the wordCount-th word of the file basePath + fileNumber ("lex\\agrp" and 7
// name lex\agrp7); a count of 0 reads the first word, a count past the end
// the last. A file that cannot be opened or holds no word ends the program
// through the missing-lexicon screen.
void readLexiconWord(int fileNumber, int wordCount, const std::string& basePath, std::string& word);

[[noreturn]] void lexiconMissing();
