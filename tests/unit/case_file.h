// The case files under tests/unit/: one directive a line, its first word
// saying what the rest is; lines starting with "#" are comments. Keys are
// written as typed, with escapes: \e Escape, \r Enter, \c Ctrl-C, \b
// Backspace, \t Tab, \n line feed, \\ a backslash, \xHH any code, \[224,72] a key of two codes.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/key.h"
#include "tests/support/golden_file.h"

inline const std::filesystem::path unitFolder = std::filesystem::path(HKH_SOURCE_DIR) / "tests/unit";

struct Directive {
    std::string word;
    std::string rest;  // everything after the first space, as written
};

inline std::vector<Directive> readCaseFile(const std::filesystem::path& file)
{
    std::vector<Directive> directives;
    std::istringstream lines(readWholeFile(file));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t space = line.find(' ');
        directives.push_back({line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1)});
    }
    return directives;
}

inline std::vector<Key> keysOf(const std::string& written)
{
    std::vector<Key> keys;
    for (std::size_t at = 0; at < written.size(); ++at) {
        const char character = written[at];
        if (character != '\\' || at + 1 == written.size()) {
            keys.push_back({static_cast<unsigned char>(character), -1});
            continue;
        }
        const char escaped = written[++at];
        if (escaped == 'x') {
            keys.push_back({std::stoi(written.substr(at + 1, 2), nullptr, 16), -1});
            at += 2;
        } else if (escaped == '[') {
            const std::size_t comma = written.find(',', at), end = written.find(']', at);
            keys.push_back({std::stoi(written.substr(at + 1, comma - at - 1)), std::stoi(written.substr(comma + 1, end - comma - 1))});
            at = end;
        } else {
            const std::string names = "ercbtn\\", codes{escapeKey, enterKey, ctrlCKey, backspaceKey, '\t', '\n', '\\'};
            keys.push_back({codes.at(names.find(escaped)), -1});
        }
    }
    return keys;
}

// The names of the case files in a folder of tests/unit/, without ".txt", in order.
inline std::vector<std::string> caseNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(unitFolder / folder))
        if (entry.path().extension() == ".txt") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}
