// The sound layer's reading of damaged .wav files: each gives what it holds
// in the playing format, or nothing, and then the game plays the built-in
// chime, which starts and ends at rest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "console/sound_samples.h"

namespace {

namespace fs = std::filesystem;

// A 16-bit mono file at the playing rate, `frames` long, cut after `kept` bytes.
std::string wavBytes(std::uint32_t frames)
{
    std::string bytes = "RIFF....WAVEfmt ";
    auto put = [&](std::uint32_t value, int size) {
        for (int index = 0; index < size; ++index) bytes += static_cast<char>(value >> (8 * index));
    };
    for (std::uint32_t field : {16u, 1u | 1u << 16, std::uint32_t(soundRate), std::uint32_t(2 * soundRate), 2u | 16u << 16}) {
        put(field, 4);
    }
    bytes += "data";
    put(2 * frames, 4);
    for (std::uint32_t frame = 0; frame < frames; ++frame) put(frame % 50 < 25 ? 8000 : -8000, 2);
    return bytes;
}

struct DamagedFile {
    const char* what;
    std::string bytes;
    std::size_t framesPlayed;
};

TEST(DamagedSounds, EachFileGivesWhatItHoldsOrNothing)
{
    const std::string whole = wavBytes(1000);
    const DamagedFile files[] = {
        {"empty", "", 0},
        {"cut in its header", whole.substr(0, 30), 0},
        {"text", "Not a sound at all, just words.\n", 0},
        {"without samples", wavBytes(0), 0},
        {"whole", whole, 1000},
        {"cut in its samples", whole.substr(0, 44 + 2 * 400), 400},
        {"cut in a sample", whole.substr(0, 44 + 2 * 400 + 1), 400},
    };
    fs::path file = fs::temp_directory_path() / ("hkh-damaged-" + std::to_string(getpid()) + ".wav");
    for (const DamagedFile& damaged : files) {
        std::ofstream(file, std::ios::binary) << damaged.bytes;
        EXPECT_EQ(loadSamples(file.string()).size(), damaged.framesPlayed) << damaged.what;
    }
    fs::remove(file);
    EXPECT_TRUE(loadSamples("/nonexistent/missing.wav").empty());
}

// Each note rises from rest and falls back to it: no click where the notes
// meet or where the chime ends.
TEST(DefaultChime, StartsJoinsAndEndsAtRest)
{
    Samples chime = synthesiseChime();
    const std::size_t noteFrames = soundRate / 10;
    ASSERT_EQ(chime.size(), 2 * noteFrames);
    for (std::size_t edge : {std::size_t{0}, noteFrames - 1, noteFrames, chime.size() - 1}) {
        EXPECT_LE(std::abs(chime[edge]), 8) << "at frame " << edge;
    }
}

}  // namespace
