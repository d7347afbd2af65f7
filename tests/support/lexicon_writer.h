// Writes a small lex/ tree for a test, laid out as the game draws from it.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "lexicon/lexicon_layout.h"

// The file name of a family's file: "agrp7" for the adjectives' file 7.
inline std::string familyFileName(const LexiconFamily& family, int file)
{
    const std::string base = family.basePath;
    return base.substr(base.find('\\') + 1) + std::to_string(file);
}

inline void writeLexiconFile(const std::string& name, const std::string& content,
                             const std::filesystem::path& lexFolder = "lex")
{
    std::filesystem::create_directories(lexFolder);
    std::ofstream(lexFolder / name, std::ios::binary) << content;
}

// Writes every file of the family with the content given for its number.
inline void writeFamily(const LexiconFamily& family, const std::function<std::string(int)>& contentOf,
                        const std::filesystem::path& lexFolder = "lex")
{
    for (int file = 0; file < family.fileCount; ++file)
        writeLexiconFile(familyFileName(family, file), contentOf(file), lexFolder);
}

// The text repeated, one a line, as far as any draw reaches into a file.
inline std::string repeatedLines(const std::string& text)
{
    std::string lines;
    for (int line = 0; line < fullFileReach; ++line) lines += text + "\n";
    return lines;
}

// Every file holds one word, so every draw gives the same phrase.
inline void writeUniformLexicon(const std::string& adjective, const std::string& noun, const std::string& verb,
                                const std::filesystem::path& lexFolder = "lex")
{
    writeFamily(adjectiveFamily, [&](int) { return repeatedLines(adjective); }, lexFolder);
    writeFamily(nounFamily, [&](int) { return repeatedLines(noun); }, lexFolder);
    writeFamily(verbFamily, [&](int) { return repeatedLines(verb); }, lexFolder);
}
