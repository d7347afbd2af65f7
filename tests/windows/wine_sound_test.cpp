// The Windows build's sound through wine's PulseAudio driver, into the null
// sink of a private sound server that records it
// (tests/sound/null_sink_server.sh): PlaySoundA holds the game until each
// sound has played to its end, and the sounds are heard whole, one after the
// other.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

#include "tests/windows/wine_game.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string serverScript = HKH_SOURCE_DIR "/tests/sound/null_sink_server.sh";
constexpr int recordedRate = 22050;  // the null sink's: mono, 16 bit
constexpr int audibleLevel = 328;    // -40 dBFS

std::string fileBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size)
{
    std::uint32_t value = 0;
    for (int index = size - 1; index >= 0; --index) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(index)]);
    }
    return value;
}

// The playing time of a PCM .wav file, from its format and data chunks.
double wavSeconds(const fs::path& path)
{
    std::string bytes = fileBytes(path);
    std::uint32_t byteRate = 0;
    std::uint32_t dataSize = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::uint32_t size = littleEndian(bytes, at + 4, 4);
        if (bytes.compare(at, 4, "fmt ") == 0 && at + 20 <= bytes.size()) byteRate = littleEndian(bytes, at + 16, 4);
        if (bytes.compare(at, 4, "data") == 0) dataSize = size;
        at += 8 + size + (size & 1);
    }
    return byteRate == 0 ? 0 : static_cast<double>(dataSize) / byteRate;
}

// From the first to the last audible sample of the raw recording.
double audibleSeconds(const fs::path& recording)
{
    std::string bytes = fileBytes(recording);
    long first = -1;
    long last = -1;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        auto sample = static_cast<std::int16_t>(littleEndian(bytes, at, 2));
        if (std::abs(static_cast<int>(sample)) < audibleLevel) continue;
        if (first < 0) first = static_cast<long>(at / 2);
        last = static_cast<long>(at / 2);
    }
    return first < 0 ? 0 : static_cast<double>(last - first) / recordedRate;
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
    pclose(pipe);
    while (!output.empty() && output.back() == '\n') output.pop_back();
    return output;
}

class WineSound : public WineGame {
protected:
    void SetUp() override
    {
        WineGame::SetUp();
        server = game / "sound-server";
        std::string address = commandOutput("bash '" + serverScript + "' start '" + server.string() + "'");
        ASSERT_EQ(address.rfind("unix:", 0), 0u) << "the sound server did not start: " << address;
        environment = {"PULSE_SERVER=" + address};
    }

    void TearDown() override
    {
        if (!server.empty()) serverStep("stop '" + server.string() + "'");
        WineGame::TearDown();
    }

    bool startRecording(const fs::path& file)
    {
        return serverStep("record '" + server.string() + "' '" + file.string() + "'");
    }

    void stopRecording()
    {
        serverStep("stop-recording '" + server.string() + "'");
    }

    bool serverStep(const std::string& arguments)
    {
        return std::system(("bash '" + serverScript + "' " + arguments).c_str()) == 0;
    }

    fs::path server;
};

}  // namespace

TEST_F(WineSound, EarlyQuitHoldsTheGameThroughEachClosingSound)
{
    const double closing = wavSeconds(game / "data" / "hum.wav") + wavSeconds(game / "data" / "exit.wav");
    ASSERT_GT(closing, 1.0);
    startGame();
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    pressEscape();
    ASSERT_TRUE(shows(34, 22, "Press ESCAPE to exit "));
    const fs::path recording = game / "closing.raw";
    ASSERT_TRUE(startRecording(recording));

    const Clock::time_point pressed = Clock::now();
    pressEscape();
    ASSERT_EQ(waitForExit(pane), 0);
    const double held = std::chrono::duration<double>(Clock::now() - pressed).count();
    stopRecording();
    const double heard = audibleSeconds(recording);
    std::cout << "[ figure ] the closing sounds last " << closing << " s; the game held " << held
              << " s after Escape; " << heard << " s were heard\n";

    EXPECT_GE(held, closing) << "PlaySoundA returned before its sound had ended";
    EXPECT_GT(heard, 0.9 * closing) << "a sound was cut short or not played";
    EXPECT_LT(heard, closing + 0.5) << "the sounds were far apart";
}
