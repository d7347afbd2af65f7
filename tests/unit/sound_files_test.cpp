// The sound files the game plays from data/: every one is there, in the exact
// format the sound device is opened in (so nothing is converted at play time),
// audible, short enough to keep the pace, without dead air or clicks at its
// ends, the spoken ones all equally loud, and nothing else lies beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

const std::filesystem::path dataDir = std::filesystem::path(HKH_SOURCE_DIR) / "data";

// Every name the game plays as "data\NAME.wav".
std::vector<std::string> letterNames() {
    std::vector<std::string> names;
    for (char c = 'A'; c <= 'Z'; ++c) names.push_back(std::string(1, c));
    return names;
}

const std::vector<std::string> phoneticNames = {
    "alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel", "india",
    "juliet", "kilo", "lima", "mike", "november", "oscar", "papa", "quebec", "romeo",
    "sierra", "tango", "uniform", "victor", "whiskey", "xray", "yankee", "zulu"};

const std::vector<std::string> toneNames = {"tone1", "tone2", "tone3", "tone4",
                                            "tone5", "tone6", "tone7", "tone8"};

const std::vector<std::string> cueNames = {
    "blank", "wrle", "plso", "quit", "bagu", "wran", "woma", "rian1", "yes", "rian2",
    "fupo1", "fupo2", "nopo", "intr", "koal", "hum", "exit", "haha"};

std::vector<std::string> allSoundNames() {
    std::vector<std::string> names = letterNames();
    for (const auto* group : {&phoneticNames, &toneNames, &cueNames})
        names.insert(names.end(), group->begin(), group->end());
    return names;
}

constexpr std::uint32_t deviceRate = 22050;
constexpr std::size_t plainHeaderSize = 44;

struct WavFile {
    bool readable = false;
    std::vector<unsigned char> bytes;
    std::vector<std::int16_t> samples;
};

std::uint32_t readLe32(const std::vector<unsigned char>& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

std::uint16_t readLe16(const std::vector<unsigned char>& b, std::size_t at) {
    return std::uint16_t(b[at] | b[at + 1] << 8);
}

std::string readTag(const std::vector<unsigned char>& b, std::size_t at) {
    return std::string(b.begin() + long(at), b.begin() + long(at) + 4);
}

WavFile loadWav(const std::string& name) {
    WavFile wav;
    std::ifstream in(dataDir / (name + ".wav"), std::ios::binary | std::ios::ate);
    if (!in) return wav;
    wav.bytes.resize(std::size_t(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(wav.bytes.data()), std::streamsize(wav.bytes.size()));
    wav.readable = bool(in);
    if (wav.bytes.size() >= plainHeaderSize) {
        for (std::size_t at = plainHeaderSize; at + 1 < wav.bytes.size(); at += 2)
            wav.samples.push_back(std::int16_t(readLe16(wav.bytes, at)));
    }
    return wav;
}

// The header the device format needs, with no chunk besides "fmt " and "data".
void expectDeviceFormat(const WavFile& wav) {
    const auto& b = wav.bytes;
    ASSERT_GE(b.size(), plainHeaderSize + 2);
    EXPECT_EQ(readTag(b, 0), "RIFF");
    EXPECT_EQ(readLe32(b, 4), b.size() - 8) << "RIFF size does not match the file";
    EXPECT_EQ(readTag(b, 8), "WAVE");
    EXPECT_EQ(readTag(b, 12), "fmt ");
    EXPECT_EQ(readLe32(b, 16), 16u) << "fmt chunk is not the plain PCM one";
    EXPECT_EQ(readLe16(b, 20), 1) << "not PCM";
    EXPECT_EQ(readLe16(b, 22), 1) << "not mono";
    EXPECT_EQ(readLe32(b, 24), deviceRate);
    EXPECT_EQ(readLe32(b, 28), deviceRate * 2) << "byte rate";
    EXPECT_EQ(readLe16(b, 32), 2) << "block align";
    EXPECT_EQ(readLe16(b, 34), 16) << "bits per sample";
    EXPECT_EQ(readTag(b, 36), "data") << "an extra chunk stands before the samples";
    EXPECT_EQ(readLe32(b, 40), b.size() - plainHeaderSize) << "data size does not match the file";
    EXPECT_EQ(b.size() % 2, 0u) << "half a sample at the end";
}

int peakOf(const std::vector<std::int16_t>& samples) {
    int peak = 0;
    for (std::int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
    return peak;
}

double secondsOf(const WavFile& wav) { return double(wav.samples.size()) / deviceRate; }

void expectLengthWithin(const std::vector<std::string>& names, double shortest, double longest) {
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        WavFile wav = loadWav(name);
        ASSERT_TRUE(wav.readable);
        EXPECT_GE(secondsOf(wav), shortest);
        EXPECT_LE(secondsOf(wav), longest);
    }
}

TEST(SoundFiles, EveryPlayedSoundIsAudibleInTheDeviceFormat) {
    const auto names = allSoundNames();
    ASSERT_EQ(names.size(), 78u);
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        WavFile wav = loadWav(name);
        ASSERT_TRUE(wav.readable) << "missing: data/" << name << ".wav";
        expectDeviceFormat(wav);
        // Even the hidden-letter tick must be clearly heard (above -30 dBFS),
        // and nothing may be clipped.
        EXPECT_GT(peakOf(wav.samples), 1036);
        EXPECT_LT(peakOf(wav.samples), 32767);
    }
}

// The level of a sample value, in dB below full scale.
double dbfs(double value) { return 20 * std::log10(std::max(value, 1.0) / 32768.0); }

int peakOfRange(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to) {
    int peak = 0;
    for (std::size_t i = from; i < to; ++i) peak = std::max(peak, std::abs(int(samples[i])));
    return peak;
}

TEST(SoundFiles, SoundsStartAndEndAtRestWithoutDeadAir) {
    // The spelling plays letters back to back and the full-points fanfare
    // plays its first part three times in a row: a file that starts or stops
    // mid-wave would click at every join, and quiet at either end is waited
    // through. Quiet is anything under -45 dBFS.
    constexpr std::size_t oneMs = deviceRate / 1000;
    for (const auto& name : allSoundNames()) {
        SCOPED_TRACE(name);
        WavFile wav = loadWav(name);
        ASSERT_TRUE(wav.readable);
        const auto& s = wav.samples;
        ASSERT_GT(s.size(), 2 * oneMs);
        EXPECT_LE(std::abs(int(s.front())), 4);
        EXPECT_LE(std::abs(int(s.back())), 4);
        EXPECT_LT(dbfs(peakOfRange(s, 0, oneMs)), -30) << "the first millisecond steps up";
        EXPECT_LT(dbfs(peakOfRange(s, s.size() - oneMs, s.size())), -30) << "the last millisecond";
        auto audible = [](std::int16_t v) { return dbfs(std::abs(int(v))) >= -45; };
        const auto first = std::find_if(s.begin(), s.end(), audible);
        const auto last = std::find_if(s.rbegin(), s.rend(), audible);
        EXPECT_LE(double(first - s.begin()) / deviceRate, 0.030) << "quiet before the sound";
        EXPECT_LE(double(last - s.rbegin()) / deviceRate, 0.060) << "quiet after the sound";
    }
}

// How loud a sound is while it sounds: the mean power of its 20 ms blocks (10
// ms apart), leaving out blocks under -70 dBFS and then those more than 10 dB
// under the mean of the rest; as tools/sound_levels.py measures it.
double loudnessOf(const std::vector<std::int16_t>& samples) {
    constexpr std::size_t block = deviceRate / 50, hop = deviceRate / 100;
    std::vector<double> powers;
    for (std::size_t at = 0; at == 0 || at + block <= samples.size(); at += hop) {
        const std::size_t end = std::min(samples.size(), at + block);
        double sum = 0;
        for (std::size_t i = at; i < end; ++i) sum += double(samples[i]) * samples[i];
        const double power = sum / double(end - at) / (32768.0 * 32768.0);
        if (power > 1e-7) powers.push_back(power);
    }
    if (powers.empty()) return -120;
    double total = 0;
    for (double p : powers) total += p;
    const double gate = total / double(powers.size()) / 10;
    double kept = 0;
    int count = 0;
    for (double p : powers) {
        if (p < gate) continue;
        kept += p;
        ++count;
    }
    return 10 * std::log10(kept / count);
}

double medianLoudness(const std::vector<std::string>& names) {
    std::vector<double> levels;
    for (const auto& name : names) levels.push_back(loudnessOf(loadWav(name).samples));
    std::sort(levels.begin(), levels.end());
    return (levels[(levels.size() - 1) / 2] + levels[levels.size() / 2]) / 2;
}

TEST(SoundFiles, SpokenLettersAndWordsAreEquallyLoudAndMatchTheTones) {
    // A quiet letter among loud ones is easily missed when a word is spelled.
    std::vector<std::string> spoken = letterNames();
    spoken.insert(spoken.end(), phoneticNames.begin(), phoneticNames.end());
    const double median = medianLoudness(spoken);
    for (const auto& name : spoken) {
        SCOPED_TRACE(name);
        EXPECT_NEAR(loudnessOf(loadWav(name).samples), median, 1.0);
    }
    EXPECT_NEAR(median, medianLoudness(toneNames), 2.0);
}

TEST(SoundFiles, LengthsKeepThePace) {
    expectLengthWithin(letterNames(), 0.15, 0.75);
    expectLengthWithin(phoneticNames, 0.25, 1.0);
    expectLengthWithin(toneNames, 0.2, 0.3);
    expectLengthWithin({"blank"}, 0.02, 0.3);
    expectLengthWithin({"wrle", "bagu", "wran", "woma", "quit", "yes"}, 0.1, 1.0);
    expectLengthWithin({"plso", "koal", "rian1", "rian2", "fupo1", "fupo2", "nopo"}, 0.3, 1.5);
    expectLengthWithin({"intr", "hum", "exit", "haha"}, 0.5, 3.0);
}

TEST(SoundFiles, ToneScaleRisesStepByStep) {
    // Three matches must sound like three steps up: each tone's pitch, counted
    // by upward zero crossings, is above the one before.
    double lastPitch = 0;
    for (const auto& name : toneNames) {
        SCOPED_TRACE(name);
        WavFile wav = loadWav(name);
        ASSERT_TRUE(wav.readable);
        const std::size_t window = std::min<std::size_t>(wav.samples.size(), deviceRate / 10);
        int crossings = 0;
        for (std::size_t i = 1; i < window; ++i)
            if (wav.samples[i - 1] < 0 && wav.samples[i] >= 0) ++crossings;
        const double pitch = crossings / (double(window) / deviceRate);
        EXPECT_GT(pitch, lastPitch);
        lastPitch = pitch;
    }
}

TEST(SoundFiles, DataHoldsNothingTheGameDoesNotPlay) {
    const auto names = allSoundNames();
    const std::set<std::string> expected(names.begin(), names.end());
    std::set<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(dataDir)) {
        const std::string file = entry.path().filename().string();
        EXPECT_TRUE(entry.is_regular_file()) << file;
        EXPECT_EQ(entry.path().extension(), ".wav") << file;
        EXPECT_TRUE(expected.count(entry.path().stem().string())) << "unused: data/" << file;
        found.insert(entry.path().stem().string());
    }
    EXPECT_EQ(found, expected);
}

}  // namespace
