// What a player hears through a real sound server: a private PulseAudio (or
// PipeWire) daemon with a null sink, recorded from the sink's monitor while
// the real game runs in tmux. Every data file is swapped for a square wave of
// its own pitch that is loud to its last sample, so each sound is told by its
// pitch and a cut at either end shows in its length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/support/tmux_game.h"

namespace {

namespace fs = std::filesystem;

constexpr int rate = 22050;
constexpr int loudLevel = 12000;
constexpr int heardLevel = 1000;
constexpr std::size_t quietBetweenSounds = 8;  // samples under the level that end a sound

const fs::path serverScript = fs::path(HKH_SOURCE_DIR) / "tests/sound/null_sink_server.sh";

struct TestSound {
    double pitch = 0;
    std::size_t frames = 0;
};

struct Heard {
    std::string name;
    std::size_t start = 0;
    std::size_t frames = 0;
};

void putLittleEndian(std::ofstream& file, std::uint32_t value, int bytes)
{
    for (int index = 0; index < bytes; ++index) file.put(static_cast<char>(value >> (8 * index)));
}

void writeSquareWave(const fs::path& path, const TestSound& sound)
{
    std::ofstream file(path, std::ios::binary);
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(sound.frames * 2);
    file << "RIFF";
    putLittleEndian(file, 36 + dataBytes, 4);
    file << "WAVEfmt ";
    for (std::uint32_t field : {16u, 1u | 1u << 16, static_cast<std::uint32_t>(rate),
                                static_cast<std::uint32_t>(rate * 2), 2u | 16u << 16}) {
        putLittleEndian(file, field, 4);
    }
    file << "data";
    putLittleEndian(file, dataBytes, 4);
    const double halfPeriod = rate / (2 * sound.pitch);
    for (std::size_t frame = 0; frame < sound.frames; ++frame) {
        bool high = static_cast<long>(static_cast<double>(frame) / halfPeriod) % 2 == 0;
        putLittleEndian(file, static_cast<std::uint16_t>(high ? loudLevel : -loudLevel), 2);
    }
}

// Every .wav of the game's data folder becomes a test sound of 0.12 to 0.21 s.
std::map<std::string, TestSound> writeTestSounds(const fs::path& data)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(data)) {
        if (entry.path().extension() == ".wav") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    std::map<std::string, TestSound> sounds;
    for (std::size_t index = 0; index < names.size(); ++index) {
        TestSound sound{400.0 + 37.0 * static_cast<double>(index),
                        static_cast<std::size_t>(rate * (0.12 + 0.01 * static_cast<double>(index % 10)))};
        writeSquareWave(data / (names[index] + ".wav"), sound);
        sounds[names[index]] = sound;
    }
    return sounds;
}

std::vector<std::int16_t> readRecording(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t index = 0; index < samples.size(); ++index) {
        samples[index] = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[2 * index]) |
                                                   static_cast<unsigned char>(bytes[2 * index + 1]) << 8);
    }
    return samples;
}

double pitchOf(const std::vector<std::int16_t>& samples, std::size_t start, std::size_t end)
{
    int crossings = 0;
    for (std::size_t index = start + 1; index < end; ++index) {
        crossings += (samples[index] >= 0) != (samples[index - 1] >= 0);
    }
    return crossings / 2.0 / (static_cast<double>(end - start) / rate);
}

std::string nearestSound(const std::map<std::string, TestSound>& sounds, double pitch)
{
    auto nearest = std::min_element(sounds.begin(), sounds.end(), [&](const auto& left, const auto& right) {
        return std::abs(left.second.pitch - pitch) < std::abs(right.second.pitch - pitch);
    });
    return nearest->first;
}

// The recording cut into sounds at every stretch of quiet.
std::vector<Heard> hearSounds(const fs::path& recording, const std::map<std::string, TestSound>& sounds)
{
    std::vector<std::int16_t> samples = readRecording(recording);
    std::vector<Heard> heard;
    std::size_t index = 0;
    while (index < samples.size()) {
        if (std::abs(samples[index]) <= heardLevel) {
            ++index;
            continue;
        }
        std::size_t start = index;
        std::size_t lastLoud = index;
        for (; index < samples.size() && index - lastLoud < quietBetweenSounds; ++index) {
            if (std::abs(samples[index]) > heardLevel) lastLoud = index;
        }
        heard.push_back({nearestSound(sounds, pitchOf(samples, start, lastLoud + 1)), start, lastLoud + 1 - start});
    }
    return heard;
}

std::vector<std::string> namesOf(const std::vector<Heard>& heard)
{
    std::vector<std::string> names;
    for (const Heard& sound : heard) names.push_back(sound.name);
    return names;
}

std::string runScript(const std::string& arguments)
{
    std::string command = serverScript.string() + " " + arguments;
    FILE* output = popen(command.c_str(), "r");
    std::string text;
    char buffer[256];
    while (output != nullptr && fgets(buffer, sizeof buffer, output) != nullptr) text += buffer;
    int status = output != nullptr ? pclose(output) : -1;
    if (status != 0) throw std::runtime_error("failed: " + command);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

class ServerSound : public GameInTerminal {
protected:
    void SetUp() override
    {
        GameInTerminal::SetUp();
        if (IsSkipped()) return;
        if (std::system("command -v parec >/dev/null") != 0) GTEST_SKIP() << "parec is not installed";
        sounds = writeTestSounds(scratch / "data");
        writeUniformLexicon("noon", "nuns", "nod", scratch / "lex");
    }

    void TearDown() override
    {
        GameInTerminal::TearDown();
        if (!serverFolder.empty()) runScript("stop " + serverFolder.string());
    }

    bool startServer(const std::string& kind)
    {
        if (std::system(("command -v " + kind + " >/dev/null").c_str()) != 0) return false;
        serverFolder = scratch.parent_path() / (scratch.filename().string() + "-server");
        address = runScript("start " + serverFolder.string() + " " + kind);
        return true;
    }

    fs::path record(const std::string& name)
    {
        fs::path recording = serverFolder / (name + ".raw");
        runScript("record " + serverFolder.string() + " " + recording.string());
        return recording;
    }

    void startGameOnServer()
    {
        PaneLaunch launch;
        launch.environment = {"PULSE_SERVER=" + address};
        startGame(launch);
    }

    // The game has ended; what the server still held is in the recording.
    void stopRecording() { runScript("stop-recording " + serverFolder.string()); }

    void expectWholeInOrder(const std::vector<Heard>& heard, const std::vector<std::string>& expected,
                            std::size_t tolerance)
    {
        ASSERT_EQ(namesOf(heard), expected);
        for (const Heard& sound : heard) {
            auto frames = static_cast<long>(sounds.at(sound.name).frames);
            EXPECT_NEAR(static_cast<long>(sound.frames), frames, static_cast<long>(tolerance))
                << sound.name << " is not whole: " << sound.frames << " of " << frames << " samples heard";
        }
        for (std::size_t index = 1; index < heard.size(); ++index) {
            std::size_t end = heard[index - 1].start + heard[index - 1].frames;
            std::cout << "gap before " << heard[index].name << ": " << (heard[index].start - end) * 1000.0 / rate
                      << " ms\n";
        }
    }

    // The early quit: Escape at the title, Escape again, its two sounds, exit.
    void quitEarly()
    {
        startGameOnServer();
        ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
        pressKey(pane, "Escape");
        ASSERT_TRUE(shows(34, 22, "Press ESCAPE to exit "));
        pressKey(pane, "Escape");
        ASSERT_EQ(waitForExit(pane), 0);
        stopRecording();
    }

    std::map<std::string, TestSound> sounds;
    fs::path serverFolder;
    std::string address;
};

}  // namespace

TEST_F(ServerSound, PulseAudioPlaysTheEarlyQuitWholeToItsLastSample)
{
    ASSERT_TRUE(startServer("pulseaudio"));
    fs::path recording = record("early-quit");
    quitEarly();
    expectWholeInOrder(hearSounds(recording, sounds), {"hum", "exit"}, 2);
}

// PipeWire resamples, so a sound's edges may move by a sample or two.
TEST_F(ServerSound, PipeWirePlaysTheEarlyQuitWholeToItsLastSample)
{
    if (!startServer("pipewire")) GTEST_SKIP() << "PipeWire is not installed";
    fs::path recording = record("early-quit");
    quitEarly();
    expectWholeInOrder(hearSounds(recording, sounds), {"hum", "exit"}, 22);
}

// A round's sounds, the server killed at a prompt, a letter's tones played
// into the void, the server back, and the closing sounds heard again.
TEST_F(ServerSound, ARoundIsHeardWholeAndTheSoundComesBackAfterTheServerIsKilledAndStartedAgain)
{
    ASSERT_TRUE(startServer("pulseaudio"));
    fs::path before = record("before");
    startGameOnServer();
    enterName("Ann");
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    typeText(pane, "o");
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    runScript("kill " + serverFolder.string());
    stopRecording();
    expectWholeInOrder(hearSounds(before, sounds), {"intr", "koal", "plso", "tone1", "tone2", "tone3"}, 2);

    typeText(pane, "p");
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    typeText(pane, "n");  // two tones, to no server
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    runScript("start " + serverFolder.string() + " pulseaudio");
    fs::path after = record("after");
    pressKey(pane, "Escape");
    ASSERT_TRUE(shows(34, 22, "Press escape to exit "));
    pressKey(pane, "Escape");
    ASSERT_EQ(waitForExit(pane), 0);
    stopRecording();
    expectWholeInOrder(hearSounds(after, sounds), {"quit", "hum", "exit", "haha"}, 2);
}
