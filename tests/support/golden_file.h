// Golden files: what a test produced, compared with the text kept beside the
// test in the source tree. HKH_UPDATE_GOLDEN=1 rewrites the files instead, to
// be reviewed with git diff.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

inline std::string readWholeFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline ::testing::AssertionResult matchesGoldenFile(const std::filesystem::path& file, const std::string& produced)
{
    if (std::getenv("HKH_UPDATE_GOLDEN") != nullptr) std::ofstream(file, std::ios::binary) << produced;
    const std::string expected = readWholeFile(file);
    if (produced == expected) return ::testing::AssertionSuccess();
    std::istringstream got(produced), want(expected);
    for (int line = 1; got || want; ++line) {
        std::string gotLine, wantLine;
        std::getline(got, gotLine);
        std::getline(want, wantLine);
        if (gotLine != wantLine)
            return ::testing::AssertionFailure() << file << " line " << line << ": expected\n" << wantLine
                                                 << "\nbut the game gave\n" << gotLine;
    }
    return ::testing::AssertionFailure() << file << " differs";
}
