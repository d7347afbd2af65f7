// How the word lists are laid out in lex/. The game draws by these numbers,
// the tests and fuzzers check by them, and tools/make_lexicon.py reads them
// from this file, so they are written down here only.
#pragma once

struct LexiconFamily {
    const char* basePath;  // the file number is appended: "lex\\agrp" and 7 name lex\agrp7
    int fileCount;
    int lastFileReach;  // the last file is shorter: its word count is drawn modulo this
};

// Every file but the last of a family is drawn modulo this.
inline constexpr int fullFileReach = 200;

inline constexpr LexiconFamily adjectiveFamily{"lex\\agrp", 33, 155};
inline constexpr LexiconFamily nounFamily{"lex\\ngrp", 33, 133};
inline constexpr LexiconFamily verbFamily{"lex\\vgrp", 23, 73};

// Where a draw lands: the file, and the word count read in it (a count of 0
// reads the first word).
struct WordPosition {
    int fileNumber;
    int wordCount;
};

// The draw of one word of a family from two random numbers, taken in this
// order: the file, then the count, which the last file's reach limits.
constexpr WordPosition locateWord(const LexiconFamily& family, int fileRandom, int countRandom)
{
    const int fileNumber = fileRandom % family.fileCount;
    return {fileNumber, countRandom % (fileNumber == family.fileCount - 1 ? family.lastFileReach : fullFileReach)};
}
