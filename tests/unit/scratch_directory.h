// A temporary working directory for a test, with the lex/ and data/ folders
// the game reads; the test runs inside it and it is removed afterwards.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

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
inline void writeLexiconFile(const std::string& name, const std::string& content)
{
    std::ofstream(std::filesystem::path("lex") / name, std::ios::binary) << content;
}

// Fills all 89 files so that every draw gives the same phrase.
inline void writeUniformLexicon(const std::string& adjective, const std::string& noun, const std::string& verb)
{
    auto repeated = [](const std::string& word) {
        std::string text;
        for (int i = 0; i < 200; ++i) text += word + "\n";
        return text;
    };
    for (int file = 0; file < 33; ++file) {
        writeLexiconFile("agrp" + std::to_string(file), repeated(adjective));
        writeLexiconFile("ngrp" + std::to_string(file), repeated(noun));
    }
    for (int file = 0; file < 23; ++file) writeLexiconFile("vgrp" + std::to_string(file), repeated(verb));
}
