// The sound layer's reading of damaged and unusual .wav files: each file gives
// what it can in the playing format, or nothing, and then the game plays the
// built-in chime, which starts and ends at rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "console/sound_samples.h"

namespace {

namespace fs = std::filesystem;

constexpr int deviceRate = 22050;
constexpr double chimeSeconds = 0.2;

using Bytes = std::vector<std::uint8_t>;

void putLittleEndian(Bytes& bytes, std::uint32_t value, int size)
{
    for (int index = 0; index < size; ++index) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * index)));
}

void putText(Bytes& bytes, const char* text)
{
    for (int index = 0; index < 4; ++index) bytes.push_back(static_cast<std::uint8_t>(text[index]));
}

struct WavFormat {
    int formatTag = 1;  // 1 PCM, 0x11 IMA ADPCM
    int channels = 1;
    int rate = deviceRate;
    int bitsPerSample = 16;
    int blockAlign = 2;
    int extraBytes = -1;  // the cbSize field and what follows, for compressed formats
    int samplesPerBlock = 0;
};

Bytes wavFile(const WavFormat& format, const Bytes& data)
{
    Bytes fmt;
    putLittleEndian(fmt, static_cast<std::uint32_t>(format.formatTag), 2);
    putLittleEndian(fmt, static_cast<std::uint32_t>(format.channels), 2);
    putLittleEndian(fmt, static_cast<std::uint32_t>(format.rate), 4);
    putLittleEndian(fmt, static_cast<std::uint32_t>(format.rate * format.blockAlign), 4);
    putLittleEndian(fmt, static_cast<std::uint32_t>(format.blockAlign), 2);
    putLittleEndian(fmt, static_cast<std::uint32_t>(format.bitsPerSample), 2);
    if (format.extraBytes >= 0) {
        putLittleEndian(fmt, 2, 2);
        putLittleEndian(fmt, static_cast<std::uint32_t>(format.samplesPerBlock), 2);
    }
    Bytes file;
    putText(file, "RIFF");
    putLittleEndian(file, static_cast<std::uint32_t>(4 + 8 + fmt.size() + 8 + data.size()), 4);
    putText(file, "WAVE");
    putText(file, "fmt ");
    putLittleEndian(file, static_cast<std::uint32_t>(fmt.size()), 4);
    file.insert(file.end(), fmt.begin(), fmt.end());
    putText(file, "data");
    putLittleEndian(file, static_cast<std::uint32_t>(data.size()), 4);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

double toneAt(int frame, int rate) { return 0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * frame / rate); }

Bytes pcm16Tone(double seconds, int rate, int channels)
{
    Bytes data;
    for (int frame = 0; frame < static_cast<int>(seconds * rate); ++frame) {
        auto value = static_cast<std::int16_t>(std::lround(toneAt(frame, rate) * 32767.0));
        for (int channel = 0; channel < channels; ++channel) putLittleEndian(data, static_cast<std::uint16_t>(value), 2);
    }
    return data;
}

Bytes pcm8Tone(double seconds)
{
    Bytes data;
    for (int frame = 0; frame < static_cast<int>(seconds * deviceRate); ++frame) {
        data.push_back(static_cast<std::uint8_t>(128 + std::lround(toneAt(frame, deviceRate) * 127.0)));
    }
    return data;
}

// IMA ADPCM, mono, blocks of 256 bytes (505 samples each).
constexpr int imaStepTable[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int imaIndexTable[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
constexpr int imaBlockBytes = 256;
constexpr int imaSamplesPerBlock = 505;

int encodeImaSample(int sample, int& predictor, int& index)
{
    int step = imaStepTable[index];
    int difference = sample - predictor;
    int nibble = 0;
    if (difference < 0) {
        nibble = 8;
        difference = -difference;
    }
    int change = step >> 3;
    for (int bit = 4; bit >= 1; bit >>= 1) {
        if (difference >= step) {
            nibble |= bit;
            difference -= step;
            change += step;
        }
        step >>= 1;
    }
    predictor = std::clamp(predictor + ((nibble & 8) ? -change : change), -32768, 32767);
    index = std::clamp(index + imaIndexTable[nibble], 0, 88);
    return nibble;
}

Bytes imaAdpcmTone(int blocks)
{
    Bytes data;
    int frame = 0;
    int index = 0;
    for (int block = 0; block < blocks; ++block) {
        int predictor = static_cast<int>(std::lround(toneAt(frame++, deviceRate) * 32767.0));
        putLittleEndian(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(predictor)), 2);
        data.push_back(static_cast<std::uint8_t>(index));
        data.push_back(0);
        for (int pair = 0; pair < (imaSamplesPerBlock - 1) / 2; ++pair) {
            int low = encodeImaSample(static_cast<int>(std::lround(toneAt(frame++, deviceRate) * 32767.0)), predictor, index);
            int high = encodeImaSample(static_cast<int>(std::lround(toneAt(frame++, deviceRate) * 32767.0)), predictor, index);
            data.push_back(static_cast<std::uint8_t>(low | high << 4));
        }
    }
    return data;
}

void writeFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct Heard {
    double soundingSeconds = 0;  // how long the sound is something other than silence
    int peak = 0;
};

Heard hear(const Samples& samples)
{
    Heard heard;
    int soundingFrames = 0;
    for (std::int16_t sample : samples) {
        int level = std::abs(static_cast<int>(sample));
        if (level > 200) ++soundingFrames;
        heard.peak = std::max(heard.peak, level);
    }
    heard.soundingSeconds = static_cast<double>(soundingFrames) / deviceRate;
    return heard;
}

class DamagedSounds : public ::testing::Test {
protected:
    fs::path scratch;

    void SetUp() override
    {
        char pattern[] = "/tmp/hkh-sounds-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
    }

    void TearDown() override { fs::remove_all(scratch); }

    Samples load(const std::string& name) { return loadSamples((scratch / name).string()); }
};

// A tone crosses zero often, so only about nine in ten of its frames sound.
void expectTone(const Samples& samples, double seconds)
{
    Heard heard = hear(samples);
    EXPECT_NEAR(heard.soundingSeconds, 0.93 * seconds, 0.1 * seconds + 0.05);
    EXPECT_NEAR(heard.peak, 16384, 2500);
}

TEST_F(DamagedSounds, AnUnplayableFileGivesNothingSoTheChimePlays)
{
    EXPECT_TRUE(load("missing.wav").empty());

    writeFile(scratch / "empty.wav", {});
    EXPECT_TRUE(load("empty.wav").empty());

    Bytes whole = wavFile({}, pcm16Tone(0.5, deviceRate, 1));
    writeFile(scratch / "header.wav", Bytes(whole.begin(), whole.begin() + 30));
    EXPECT_TRUE(load("header.wav").empty());

    std::string text = "Not a sound at all, just words.\n";
    writeFile(scratch / "text.wav", Bytes(text.begin(), text.end()));
    EXPECT_TRUE(load("text.wav").empty());

    fs::create_directory(scratch / "folder.wav");
    EXPECT_TRUE(load("folder.wav").empty());

    writeFile(scratch / "silent.wav", wavFile({}, {}));
    EXPECT_TRUE(load("silent.wav").empty());
}

TEST_F(DamagedSounds, TruncatedDataPlaysWhatIsThere)
{
    Bytes whole = wavFile({}, pcm16Tone(1.0, deviceRate, 1));
    writeFile(scratch / "cut.wav", Bytes(whole.begin(), whole.begin() + 44 + deviceRate));  // 0.5 s
    expectTone(load("cut.wav"), 0.5);

    Bytes odd(whole.begin(), whole.begin() + 44 + deviceRate + 1);  // half a sample at the end
    writeFile(scratch / "odd.wav", odd);
    expectTone(load("odd.wav"), 0.5);
}

TEST_F(DamagedSounds, OtherFormatsPlayConverted)
{
    writeFile(scratch / "plain.wav", wavFile({}, pcm16Tone(0.6, deviceRate, 1)));
    expectTone(load("plain.wav"), 0.6);

    WavFormat eightBit{.bitsPerSample = 8, .blockAlign = 1};
    writeFile(scratch / "eight.wav", wavFile(eightBit, pcm8Tone(0.6)));
    expectTone(load("eight.wav"), 0.6);

    WavFormat stereo48{.channels = 2, .rate = 48000, .blockAlign = 4};
    writeFile(scratch / "stereo.wav", wavFile(stereo48, pcm16Tone(0.7, 48000, 2)));
    expectTone(load("stereo.wav"), 0.7);

    WavFormat ima{.formatTag = 0x11, .bitsPerSample = 4, .blockAlign = imaBlockBytes, .extraBytes = 2,
                  .samplesPerBlock = imaSamplesPerBlock};
    writeFile(scratch / "adpcm.wav", wavFile(ima, imaAdpcmTone(35)));  // 35 * 505 frames: 0.8 s
    expectTone(load("adpcm.wav"), 35.0 * imaSamplesPerBlock / deviceRate);
}

// Each note rises from rest and falls back to it: no click where the notes
// meet or where the chime ends.
TEST(DefaultChime, StartsJoinsAndEndsAtRest)
{
    Samples chime = synthesiseChime();
    const std::size_t noteFrames = deviceRate / 10;
    ASSERT_EQ(chime.size(), 2 * noteFrames);
    for (std::size_t edge : {std::size_t{0}, noteFrames - 1, noteFrames, chime.size() - 1}) {
        EXPECT_LE(std::abs(chime[edge]), 8) << "at frame " << edge;
    }
    const std::size_t firstMillisecond = deviceRate / 1000;
    for (std::size_t frame = 1; frame < firstMillisecond; ++frame) {
        EXPECT_LE(std::abs(chime[frame] - chime[frame - 1]), 1036) << "a step above -30 dBFS at frame " << frame;
    }
    EXPECT_NEAR(hear(chime).soundingSeconds, chimeSeconds * 0.85, 0.03);
}

}  // namespace
