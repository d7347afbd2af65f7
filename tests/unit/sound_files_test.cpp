// Checks the sound files in data/ for what the game needs of them: every one
// it plays is there, read by the game's own loader with nothing converted
// (the exact format the device is opened in), is heard, and starts and ends
// at rest, so letters played back to back do not click; and the same of the
// chime played for a file that cannot be played. How they sound (loudness,
// length, the tone scale) is tools/sound_levels.py's to measure and enforce.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "console/sound_samples.h"

namespace {

// Every name the game plays as "data\NAME.wav", the letters' names among them.
const std::vector<std::string> playedNames = {
    "alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel", "india", "juliet", "kilo", "lima", "mike",
    "november", "oscar", "papa", "quebec", "romeo", "sierra", "tango", "uniform", "victor", "whiskey", "xray", "yankee", "zulu",
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z",
    "tone1", "tone2", "tone3", "tone4", "tone5", "tone6", "tone7", "tone8", "blank", "wrle", "plso", "quit", "bagu", "wran",
    "woma", "rian1", "yes", "rian2", "fupo1", "fupo2", "nopo", "intr", "koal", "hum", "exit", "haha"};

// The loudest of `count` samples from `from`; a millisecond's by default.
int peakOf(const Samples& s, std::size_t from, std::size_t count = soundRate / 1000) {
    return std::abs(int(*std::max_element(s.begin() + long(from), s.begin() + long(from + count),
                                          [](std::int16_t a, std::int16_t b) { return std::abs(int(a)) < std::abs(int(b)); })));
}

TEST(SoundFiles, EveryPlayedSoundLoadsUnconvertedAndStartsAndEndsAtRest) {
    for (const std::string& name : playedNames) {
        SCOPED_TRACE(name);
        const std::filesystem::path path = std::filesystem::path(HKH_SOURCE_DIR) / "data" / (name + ".wav");
        const Samples s = loadSamples(path.string());
        ASSERT_GT(s.size(), std::size_t(soundRate / 50)) << "missing or unreadable";
        // a plain 44-byte header and 16-bit mono at the device's rate: nothing was converted
        EXPECT_EQ(std::filesystem::file_size(path), 44 + 2 * s.size());
        EXPECT_LE(std::abs(int(s.front())), 4);
        EXPECT_LE(std::abs(int(s.back())), 4);
        // the first and last millisecond stay under -30 dBFS: a fade, not a step
        EXPECT_LT(peakOf(s, 0), 1036);
        EXPECT_LT(peakOf(s, s.size() - soundRate / 1000), 1036);
        // and it is heard: its loudest sample reaches -20 dBFS
        EXPECT_GT(peakOf(s, 0, s.size()), 3276);
    }
}

// Each of the chime's two notes rises from rest and falls back to it, so
// nothing clicks where they meet or where the chime ends; and it is heard.
TEST(SoundFiles, TheChimeStartsJoinsAndEndsAtRest) {
    const Samples chime = synthesiseChime();
    const std::size_t noteFrames = soundRate / 10;
    ASSERT_EQ(chime.size(), 2 * noteFrames);
    for (std::size_t edge : {std::size_t{0}, noteFrames - 1, noteFrames, chime.size() - 1})
        EXPECT_LE(std::abs(chime[edge]), 8) << "at frame " << edge;
    // the five samples at each edge of a note: a rise or a fall, not a step
    for (std::size_t from : {std::size_t{0}, noteFrames - 5, noteFrames, chime.size() - 5})
        EXPECT_LT(peakOf(chime, from, 5), 1000) << "a step at frame " << from;
    EXPECT_GT(peakOf(chime, 0, chime.size()), 3276);
}

}  // namespace
