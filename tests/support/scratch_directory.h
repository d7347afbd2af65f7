// A temporary working directory for a test, with the lex/ and data/ folders
// the game reads; the test runs inside it and it is removed afterwards.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "lexicon/lexicon_layout.h"

struct ScratchDirectory {
    std::filesystem::path previous;
    std::filesystem::path path;
};

inline ScratchDirectory enterScratchDirectory()
{
    ScratchDirectory scratch;
    scratch.previous = std::filesystem::current_path();
    std::string pattern = (std::filesystem::temp_directory_path() / "hkh-test-XXXXXX").string();
    scratch.path = mkdtemp(pattern.data());
    std::filesystem::create_directory(scratch.path / "lex");
    std::filesystem::create_directory(scratch.path / "data");
    std::filesystem::current_path(scratch.path);
    return scratch;
}

inline void leaveScratchDirectory(const ScratchDirectory& scratch)
{
    std::filesystem::current_path(scratch.previous);
    std::filesystem::remove_all(scratch.path);
}

// Writes lex/<name> with exactly this content.
inline void writeLexiconFile(const std::string& name, const std::string& content,
                             const std::filesystem::path& lexFolder = "lex")
{
    std::ofstream(lexFolder / name, std::ios::binary) << content;
}

// The file name of a family's file: "agrp7" for the adjectives' file 7.
inline std::string familyFileName(const LexiconFamily& family, int file)
{
    std::string base = family.basePath;
    return base.substr(base.find('\\') + 1) + std::to_string(file);
}

// Writes every file of the family with the content given for its number.
inline void writeFamily(const LexiconFamily& family, const std::function<std::string(int)>& contentOf,
                        const std::filesystem::path& lexFolder = "lex")
{
    for (int file = 0; file < family.fileCount; ++file) {
        writeLexiconFile(familyFileName(family, file), contentOf(file), lexFolder);
    }
}

inline std::string repeatedLines(const std::string& word, int times = fullFileReach)
{
    std::string text;
    for (int line = 0; line < times; ++line) text += word + "\n";
    return text;
}

// Fills every file so that every draw gives the same phrase.
inline void writeUniformLexicon(const std::string& adjective, const std::string& noun, const std::string& verb,
                                const std::filesystem::path& lexFolder = "lex")
{
    writeFamily(adjectiveFamily, [&](int) { return repeatedLines(adjective); }, lexFolder);
    writeFamily(nounFamily, [&](int) { return repeatedLines(noun); }, lexFolder);
    writeFamily(verbFamily, [&](int) { return repeatedLines(verb); }, lexFolder);
}
