// Driving whole sessions of rounds on the test double: a uniform lexicon in
// a scratch directory, so the phrase is known whatever the draw, and scripts
// of keys in which "\r" is Enter.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/console_double.h"
#include "lexicon/random_number.h"
#include "screen/player_name.h"
#include "session/play_session.h"
#include "tests/support/scratch_directory.h"

inline const std::string escape(1, static_cast<char>(escapeKey));

enum class SessionEnd { scriptRanOut, programEnded };

// Plays from a fresh start until the game asks for a key the script lacks,
// or ends the program.
inline SessionEnd playScript(const std::string& script, unsigned seed = 1)
{
    resetTestConsole();
    seedRandom(seed);
    typeKeys(script);
    try {
        playSession();
    } catch (const ScriptExhausted&) {
        return SessionEnd::scriptRanOut;
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.status, 0);
        return SessionEnd::programEnded;
    }
}

inline std::string repeated(const std::string& text, int times)
{
    std::string all;
    for (int time = 0; time < times; ++time) all += text;
    return all;
}

// A turn that finds nothing ("z" is in no word of the test phrases) and passes.
inline std::string passes(int count) { return repeated("zp", count); }

inline std::string guessTurn(const std::string& line) { return "zg" + line + "\r"; }

// Sounds and pauses in the order they happened; a pause reads "pause 500".
inline std::vector<std::string> heardAndWaited()
{
    std::vector<std::string> items;
    for (const HeardOrWaited& item : testConsole().timeline) {
        items.push_back(item.sound.empty() ? "pause " + std::to_string(item.milliseconds) : item.sound);
    }
    return items;
}

inline std::vector<std::string> lastHeardAndWaited(std::size_t count)
{
    std::vector<std::string> items = heardAndWaited();
    return {items.end() - static_cast<std::ptrdiff_t>(std::min(count, items.size())), items.end()};
}

inline int countOf(const std::vector<std::string>& items, const std::string& item)
{
    return static_cast<int>(std::count(items.begin(), items.end(), item));
}

struct RoundPlay : ::testing::Test {
    ScratchDirectory scratch;
    void SetUp() override
    {
        scratch = enterScratchDirectory();
        playerName = "Ann";
        writeUniformLexicon("noon", "nuns", "nod");
    }
    void TearDown() override { leaveScratchDirectory(scratch); }
};
