// What the player hears, sample for sample: SDL's disk driver records the
// device's whole output to a file, which must hold exactly the expected
// sounds, in order, with only silence between them.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

#include "tests/e2e/game_in_terminal.h"

namespace {

using Samples = std::vector<std::int16_t>;

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

Samples samplesOf(const std::string& bytes, std::size_t offset, std::size_t length)
{
    Samples samples(length / 2);
    std::memcpy(samples.data(), bytes.data() + offset, samples.size() * 2);
    return samples;
}

std::uint32_t littleEndian32(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int index = 3; index >= 0; --index) value = value << 8 | static_cast<unsigned char>(bytes[offset + index]);
    return value;
}

// The samples of a WAV file's data chunk (the shipped files are already in
// the device's format, so nothing is converted when they play).
Samples wavSamples(const std::filesystem::path& path)
{
    std::string bytes = fileBytes(path);
    std::size_t offset = 12;
    while (offset + 8 <= bytes.size()) {
        std::uint32_t size = littleEndian32(bytes, offset + 4);
        if (bytes.compare(offset, 4, "data") == 0) {
            return samplesOf(bytes, offset + 8, std::min<std::size_t>(size, bytes.size() - offset - 8));
        }
        offset += 8 + size + (size & 1);
    }
    return {};
}

}  // namespace

using RecordedSounds = GameInTerminal;

TEST_F(RecordedSounds, TheOpeningTheRoundAndThreeMatchesPlayExactlyTheirFilesInOrder)
{
    std::filesystem::path recording = scratch / "recording.raw";
    writeUniformLexicon("noon", "nuns", "nod", scratch / "lex");
    PaneLaunch launch;
    launch.environment = {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + recording.string()};
    startGame(launch);
    enterName("Ann");
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    typeText(pane, "o");  // noon has two, nod one
    ASSERT_TRUE(shows(1, 1, "There are 3 matches"));
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    pressKey(pane, "Escape");
    ASSERT_TRUE(shows(34, 22, "Press escape to exit "));
    pressKey(pane, "Escape");
    ASSERT_EQ(waitForExit(pane), 0);

    std::string recorded = fileBytes(recording);
    Samples heard = samplesOf(recorded, 0, recorded.size());
    const char* expected[] = {"intr", "koal", "plso", "tone1", "tone2", "tone3", "quit", "hum", "exit", "haha"};
    auto position = heard.begin();
    for (const char* name : expected) {
        Samples sound = wavSamples(scratch / "data" / (std::string(name) + ".wav"));
        ASSERT_FALSE(sound.empty()) << name;
        auto found = std::search(position, heard.end(),
                                 std::boyer_moore_horspool_searcher(sound.begin(), sound.end()));
        ASSERT_NE(found, heard.end()) << name << ".wav is not in the recording after the sounds before it";
        EXPECT_TRUE(std::all_of(position, found, [](std::int16_t sample) { return sample == 0; }))
            << "something other than silence before " << name << ".wav";
        position = found + static_cast<std::ptrdiff_t>(sound.size());
    }
    EXPECT_TRUE(std::all_of(position, heard.end(), [](std::int16_t sample) { return sample == 0; }))
        << "something played after the last sound";
}
