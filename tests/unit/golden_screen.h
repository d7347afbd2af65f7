// Whole 80x25 screens kept as text files in tests/unit/screens/, one row a
// line with its trailing blanks trimmed: a screen reads there as the player
// sees it. HKH_UPDATE_SCREENS=1 rewrites the files from what the game draws.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "console/console_double.h"

inline ::testing::AssertionResult showsGoldenScreen(const std::string& name)
{
    const std::filesystem::path file = std::filesystem::path(HKH_SOURCE_DIR) / "tests/unit/screens" / (name + ".txt");
    const std::string shown = wholeScreen() + "\n";
    if (std::getenv("HKH_UPDATE_SCREENS") != nullptr) std::ofstream(file, std::ios::binary) << shown;
    std::ifstream golden(file, std::ios::binary);
    const std::string expected{std::istreambuf_iterator<char>(golden), std::istreambuf_iterator<char>()};
    if (shown == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the screen differs from " << file << "; it shows:\n" << shown;
}
