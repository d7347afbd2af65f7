#include "tests/sound/heard_sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

#include <SDL.h>

namespace {

namespace fs = std::filesystem;

constexpr int gameRate = 22050;
constexpr int loudLevel = 12000;
constexpr int firstHalfPeriod = 8;
// Between a high half and a low one the resampled wave passes the quiet band
// in a sample or two; quiet for longer, the sound has ended.
constexpr double longestSwing = 0.0003;
// Pieces that add up to a sound's length to this are the whole sound.
constexpr double wholeSum = 0.0002;

void writeSquareWave(const fs::path& path, const TestSound& sound)
{
    const auto frames = static_cast<std::uint32_t>(std::lround(sound.seconds * gameRate));
    std::string bytes = "RIFF";
    auto put = [&](std::uint32_t value, int size) {
        for (int index = 0; index < size; ++index) bytes += static_cast<char>(value >> (8 * index));
    };
    put(36 + 2 * frames, 4);
    bytes += "WAVEfmt ";
    for (std::uint32_t field : {16u, 1u | 1u << 16, std::uint32_t{gameRate}, std::uint32_t{2 * gameRate}, 2u | 16u << 16}) {
        put(field, 4);
    }
    bytes += "data";
    put(2 * frames, 4);
    for (std::uint32_t frame = 0; frame < frames; ++frame) {
        put(static_cast<std::uint16_t>(frame / static_cast<std::uint32_t>(sound.halfPeriod) % 2 ? -loudLevel : loudLevel), 2);
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

// A run of joined halves of one length: a sound, or a piece of one.
struct Run {
    long halfPeriod = 0;  // samples at the game's rate
    double start = 0;
    double end = 0;
    int halves = 0;
    bool joined = false;  // follows the run before it with no quiet between
};

double crossing(const std::vector<double>& x, std::size_t before, double level)
{
    double step = x[before + 1] - x[before];
    return static_cast<double>(before) + (step == 0 ? 0.5 : (level - x[before]) / step);
}

// Each half-period heard runs from where the wave crossed into it (through
// the loud band's edge after quiet, else through zero) to where it left.
std::vector<Run> hearRuns(const Recording& recording)
{
    const std::vector<double>& x = recording.samples;
    std::vector<double> loud;
    for (double sample : x) {
        if (std::abs(sample) > 0.05) loud.push_back(std::abs(sample));
    }
    if (loud.empty()) return {};
    std::nth_element(loud.begin(), loud.begin() + loud.size() / 2, loud.end());
    const double threshold = loud[loud.size() / 2] / 2;
    const auto swing = static_cast<std::size_t>(longestSwing * recording.rate) + 2;
    std::vector<Run> runs;
    std::size_t index = 1;
    bool joined = false;
    double start = 0;
    while (index < x.size()) {
        if (!joined && std::abs(x[index]) < threshold) {
            ++index;
            continue;
        }
        const double sign = x[index] > 0 ? 1 : -1;
        if (!joined) start = crossing(x, index - 1, sign * threshold);
        while (index < x.size() && sign * x[index] >= threshold) ++index;
        std::size_t next = index;
        while (next < x.size() && next - index < swing && std::abs(x[next]) < threshold) ++next;
        bool swings = next < x.size() && sign * x[next] <= -threshold;
        double end = index >= x.size() ? static_cast<double>(index) : crossing(x, index - 1, sign * threshold);
        if (swings) {
            std::size_t before = index - 1;
            while (sign * x[before + 1] > 0) ++before;
            end = crossing(x, before, 0);
        }
        long length = std::lround((end - start) * gameRate / recording.rate);
        if (joined && runs.back().halfPeriod == length) {
            runs.back().end = end / recording.rate;
            ++runs.back().halves;
        } else {
            runs.push_back({length, start / recording.rate, end / recording.rate, 1, joined});
        }
        joined = swings;
        start = end;
        index = swings ? next : index;
    }
    return runs;
}

}  // namespace

Recording readRecording(const fs::path& path)
{
    SDL_AudioSpec spec{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    Recording recording;
    if (SDL_LoadWAV(path.c_str(), &spec, &data, &length) == nullptr) return recording;
    recording.rate = spec.freq;
    for (Uint32 at = 0; at + 2 <= length; at += 2) {
        std::int16_t sample = 0;
        std::memcpy(&sample, data + at, 2);
        recording.samples.push_back(sample / 32768.0);
    }
    SDL_FreeWAV(data);
    return recording;
}

TestSounds planTestSounds(const fs::path& data, bool shortSounds)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(data)) {
        if (entry.path().extension() == ".wav") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    TestSounds sounds;
    for (std::size_t index = 0; index < files.size(); ++index) {
        Recording file = readRecording(files[index]);
        double seconds = shortSounds ? 0.08 + 0.005 * static_cast<double>(index % 10)
                                     : static_cast<double>(file.samples.size()) / std::max(file.rate, 1);
        TestSound sound{firstHalfPeriod + static_cast<int>(index), 0};
        double period = 2.0 * sound.halfPeriod / gameRate;
        sound.seconds = std::max(1.0, std::round(seconds / period)) * period;
        sounds[files[index].stem().string()] = sound;
    }
    return sounds;
}

TestSounds writeTestSounds(const fs::path& data, bool shortSounds)
{
    TestSounds sounds = planTestSounds(data, shortSounds);
    for (const auto& [name, sound] : sounds) writeSquareWave(data / (name + ".wav"), sound);
    return sounds;
}

// Each half is told by its length, and joined halves of one length are one
// sound; a lone shorter half joined to a sound is a piece of it, cut.
std::vector<HeardSound> hearSounds(const Recording& recording, const TestSounds& sounds)
{
    std::vector<Run> runs = hearRuns(recording);
    for (std::size_t index = 0; index < runs.size(); ++index) {
        const Run piece = runs[index];
        bool ofBefore = index > 0 && piece.joined && runs[index - 1].halfPeriod > piece.halfPeriod;
        bool ofAfter = index + 1 < runs.size() && runs[index + 1].joined && runs[index + 1].halfPeriod > piece.halfPeriod;
        if (piece.halves != 1 || !(ofBefore || ofAfter)) continue;
        if (ofBefore) {
            runs[index - 1].end = piece.end;
        } else {
            runs[index + 1].start = piece.start;
            runs[index + 1].joined = piece.joined;
        }
        runs.erase(runs.begin() + static_cast<long>(index--));
    }
    std::map<long, std::string> byHalfPeriod;
    for (const auto& [name, sound] : sounds) byHalfPeriod[sound.halfPeriod] = name;
    std::vector<HeardSound> heard;
    for (const Run& run : runs) {
        auto found = byHalfPeriod.find(run.halfPeriod);
        HeardSound sound{found == byHalfPeriod.end() ? "?" : found->second, run.start, run.end - run.start};
        // Two pieces of one sound that add up to its length, with silence
        // between, are the sound with that silence inside it.
        if (!heard.empty() && sound.name != "?" && heard.back().name == sound.name) {
            HeardSound& before = heard.back();
            if (std::abs(before.seconds + sound.seconds - sounds.at(sound.name).seconds) < wholeSum) {
                before.silenceInside += sound.start - before.start - before.seconds;
                before.seconds += sound.seconds;
                continue;
            }
        }
        heard.push_back(sound);
    }
    return heard;
}
