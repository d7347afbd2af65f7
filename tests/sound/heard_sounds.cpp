#include "tests/sound/heard_sounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

constexpr int gameRate = 22050;
constexpr int loudLevel = 12000;
constexpr int firstHalfPeriod = 8;
// Between a high half and a low one the resampled wave passes the quiet band
// in a sample or two; quiet for longer, the sound has ended.
constexpr double longestSwing = 0.0003;

struct Recording {
    int rate = 0;
    std::vector<double> samples;  // the first channel, full scale 1
};

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int index = size - 1; index >= 0; --index) value = value << 8 | static_cast<unsigned char>(bytes[at + index]);
    return value;
}

Recording readWav(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    Recording recording;
    std::uint32_t tag = 0, channels = 1, bits = 16;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::size_t size = std::min<std::size_t>(littleEndian(bytes, at + 4, 4), bytes.size() - at - 8);
        if (bytes.compare(at, 4, "fmt ") == 0 && size >= 16) {
            tag = littleEndian(bytes, at + 8, 2);
            if (tag == 0xFFFE && size >= 26) tag = littleEndian(bytes, at + 32, 2);
            channels = littleEndian(bytes, at + 10, 2);
            recording.rate = static_cast<int>(littleEndian(bytes, at + 12, 4));
            bits = littleEndian(bytes, at + 22, 2);
        }
        if (bytes.compare(at, 4, "data") == 0) {
            std::size_t frameBytes = channels * bits / 8;
            for (std::size_t frame = at + 8; frame + frameBytes <= at + 8 + size; frame += frameBytes) {
                std::uint32_t word = littleEndian(bytes, frame, static_cast<int>(bits / 8));
                float value = 0;
                std::memcpy(&value, &word, sizeof value);
                recording.samples.push_back(tag == 3 ? value : static_cast<std::int16_t>(word) / 32768.0);
            }
        }
        at += 8 + size + (size & 1);
    }
    return recording;
}

void putLittleEndian(std::ofstream& file, std::uint32_t value, int bytes)
{
    for (int index = 0; index < bytes; ++index) file.put(static_cast<char>(value >> (8 * index)));
}

void writeSquareWave(const fs::path& path, const TestSound& sound)
{
    const auto frames = static_cast<std::uint32_t>(std::lround(sound.seconds * gameRate));
    std::ofstream file(path, std::ios::binary);
    file << "RIFF";
    putLittleEndian(file, 36 + 2 * frames, 4);
    file << "WAVEfmt ";
    for (std::uint32_t field : {16u, 1u | 1u << 16, std::uint32_t{gameRate}, std::uint32_t{2 * gameRate}, 2u | 16u << 16}) {
        putLittleEndian(file, field, 4);
    }
    file << "data";
    putLittleEndian(file, 2 * frames, 4);
    for (std::uint32_t frame = 0; frame < frames; ++frame) {
        bool high = frame / static_cast<std::uint32_t>(sound.halfPeriod) % 2 == 0;
        putLittleEndian(file, static_cast<std::uint16_t>(high ? loudLevel : -loudLevel), 2);
    }
}

// One half-period heard: from where the wave crossed into it to where it left.
struct Half {
    double start = 0;
    double end = 0;
    bool joined = false;  // follows the half before it with no quiet between
};

double crossing(const std::vector<double>& x, std::size_t before, double level)
{
    double step = x[before + 1] - x[before];
    return static_cast<double>(before) + (step == 0 ? 0.5 : (level - x[before]) / step);
}

std::vector<Half> hearHalves(const Recording& recording)
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
    std::vector<Half> halves;
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
        halves.push_back({start / recording.rate, end / recording.rate, joined});
        joined = swings;
        start = end;
        index = swings ? next : index;
    }
    return halves;
}

}  // namespace

TestSounds planTestSounds(const fs::path& data, bool shortSounds)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(data)) {
        if (entry.path().extension() == ".wav") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    TestSounds sounds;
    for (std::size_t index = 0; index < files.size(); ++index) {
        Recording file = readWav(files[index]);
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
std::vector<HeardSound> hearSounds(const fs::path& recording, const TestSounds& sounds)
{
    std::map<long, std::string> byHalfPeriod;
    for (const auto& [name, sound] : sounds) byHalfPeriod[sound.halfPeriod] = name;
    std::vector<Half> halves = hearHalves(readWav(recording));
    std::vector<std::pair<long, std::vector<Half>>> runs;  // a half-period and its halves
    for (const Half& half : halves) {
        long length = std::lround((half.end - half.start) * gameRate);
        if (runs.empty() || !half.joined || runs.back().first != length) runs.push_back({length, {}});
        runs.back().second.push_back(half);
    }
    for (std::size_t index = 0; index < runs.size(); ++index) {
        auto& [length, run] = runs[index];
        if (run.size() != 1) continue;
        if (index > 0 && run[0].joined && runs[index - 1].first > length) {
            runs[index - 1].second.push_back(run[0]);
        } else if (index + 1 < runs.size() && runs[index + 1].second[0].joined && runs[index + 1].first > length) {
            runs[index + 1].second.insert(runs[index + 1].second.begin(), run[0]);
        } else {
            continue;
        }
        runs.erase(runs.begin() + static_cast<long>(index--));
    }
    std::vector<HeardSound> heard;
    for (const auto& [length, run] : runs) {
        auto found = byHalfPeriod.find(length);
        heard.push_back({found == byHalfPeriod.end() ? "?" : found->second, run.front().start,
                         run.back().end - run.front().start});
    }
    return heard;
}
