// Golden files: text a test produces, kept beside the test in the source
// tree. HKH_UPDATE_GOLDEN=1 rewrites them from what the tests produce, to be
// reviewed with git diff.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

inline std::string readWholeFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The golden file's text, to compare with EXPECT_EQ, which shows the lines
// that differ.
inline std::string goldenText(const std::filesystem::path& file, const std::string& produced)
{
    if (std::getenv("HKH_UPDATE_GOLDEN") != nullptr) std::ofstream(file, std::ios::binary) << produced;
    return readWholeFile(file);
}
