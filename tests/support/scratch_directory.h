// A temporary working directory for a test, with the lex/ and data/ folders
// the game reads; the test runs inside it and it is removed afterwards.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/lexicon_writer.h"

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
