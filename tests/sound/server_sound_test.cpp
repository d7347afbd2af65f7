// What a player hears through a real sound server set up as a desktop has it
// (tests/sound/null_sink_server.sh), recorded from the sink's monitor while
// the real game runs in tmux: every sound whole and in order, nothing between
// back-to-back sounds, and each designed pause as long as designed.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "tests/support/tmux_game.h"
#include "tests/sound/heard_sounds.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A sound at most this much shorter than its file is whole: the wave's edges
// are found to a fraction of a sample.
constexpr double wholeWithin = 0.0001;
constexpr double lateWithin = 0.025;  // a gap where the design has none, or past a pause

struct ServerCase {
    const char* name;
    const char* kind;
    const char* sinkOptions;  // none: the server's own defaults
    // What the server itself loses of a stream's start when it starts on a
    // sink that rewinds: its own player (paplay) loses as much. PipeWire now
    // and then loses a millisecond of a run's first sound.
    double startLoss;
};

void PrintTo(const ServerCase& server, std::ostream* out) { *out << server.name; }

const ServerCase serverCases[] = {
    {"PulseAudioAt48kHzStereo", "pulseaudio", "rate=48000", 0.010},
    {"PulseAudioAtItsDefault44kHzStereo", "pulseaudio", "", 0.010},
    {"PulseAudioInTheGamesFormat", "pulseaudio", "rate=22050 channels=1", 0.010},
    {"PipeWireAtItsDefault48kHzFloat", "pipewire", "", 0.002},
};

// The silence the design puts before a sound, where no key is read between.
struct DesignedGap {
    const char* before;
    const char* after;
    double seconds;
};

const DesignedGap designedGaps[] = {
    {"intr", "koal", 0},  {"tone1", "tone2", 0}, {"tone2", "tone3", 0}, {"N", "O", 0.1},
    {"O", "O", 0.1},      {"O", "blank", 0.1},   {"hum", "exit", 0},    {"exit", "haha", 0},
};

std::string runScript(const std::string& arguments)
{
    std::string command = HKH_SOURCE_DIR "/tests/sound/null_sink_server.sh " + arguments;
    FILE* output = popen(command.c_str(), "r");
    std::string text;
    char buffer[256];
    while (output != nullptr && fgets(buffer, sizeof buffer, output) != nullptr) text += buffer;
    if (output == nullptr || pclose(output) != 0) throw std::runtime_error("failed: " + command);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

class ServerSound : public GameInTerminal, public ::testing::WithParamInterface<ServerCase> {
protected:
    void SetUp() override
    {
        GameInTerminal::SetUp();
        if (IsSkipped()) return;
        if (std::system(("command -v parec " + std::string(GetParam().kind) + " >/dev/null").c_str()) != 0) {
            GTEST_SKIP() << GetParam().kind << " or parec is not installed";
        }
        sounds = writeTestSounds(scratch / "data", true);
        writeUniformLexicon("noon", "nuns", "nod", scratch / "lex");
        serverFolder = scratch.string() + "-server";
        startServer();
    }

    void TearDown() override
    {
        GameInTerminal::TearDown();
        if (!serverFolder.empty()) runScript("stop " + serverFolder.string());
    }

    void startServer()
    {
        address = runScript("start " + serverFolder.string() + " " + GetParam().kind + " " + GetParam().sinkOptions);
        runScript("record " + serverFolder.string() + " " + (serverFolder / "heard.wav").string());
    }

    // The game is pointed at the recorded sink by name, as a player may.
    void startGameOnServer()
    {
        PaneLaunch launch;
        launch.environment = {"PULSE_SERVER=" + address, "PULSE_SINK=rec"};
        startGame(launch);
    }

    void pressEscapeToExit(const std::string& prompt)
    {
        ASSERT_TRUE(shows(34, 22, prompt));
        pressKey(pane, "Escape");
        ASSERT_EQ(waitForExit(pane, 10s), 0);
    }

    std::vector<HeardSound> heard()
    {
        runScript("stop-recording " + serverFolder.string());
        return hearSounds(serverFolder / "heard.wav", sounds);
    }

    void expectHeardAsDesigned(const std::vector<HeardSound>& heard, const std::vector<std::string>& expected)
    {
        std::vector<std::string> names;
        for (const HeardSound& sound : heard) names.push_back(sound.name);
        ASSERT_EQ(names, expected);
        for (std::size_t index = 0; index < heard.size(); ++index) {
            double gap = index == 0 ? 1 : heard[index].start - heard[index - 1].start - heard[index - 1].seconds;
            double written = sounds.at(heard[index].name).seconds;
            EXPECT_LE(heard[index].seconds, written + wholeWithin) << heard[index].name;
            EXPECT_GE(heard[index].seconds, written - wholeWithin - (gap > lateWithin ? GetParam().startLoss : 0))
                << heard[index].name << " is not whole";
            if (index == 0) continue;
            const HeardSound& before = heard[index - 1];
            for (const DesignedGap& designed : designedGaps) {
                if (before.name != designed.before || heard[index].name != designed.after) continue;
                EXPECT_GE(gap, designed.seconds - wholeWithin) << "before " << heard[index].name;
                EXPECT_LE(gap, designed.seconds + lateWithin) << "before " << heard[index].name;
            }
        }
    }

    TestSounds sounds;
    fs::path serverFolder;
    std::string address;
};

INSTANTIATE_TEST_SUITE_P(Desktops, ServerSound, ::testing::ValuesIn(serverCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST_P(ServerSound, TheEarlyQuitIsHeardWholeToItsLastSample)
{
    startGameOnServer();
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    pressKey(pane, "Escape");
    pressEscapeToExit("Press ESCAPE to exit ");
    expectHeardAsDesigned(heard(), {"hum", "exit"});
}

// The opening, a letter's three tones, a spelled word with its pauses, the
// quit and the farewell.
TEST_P(ServerSound, ARoundIsHeardWholeWithItsGapsAndPausesAsDesigned)
{
    startGameOnServer();
    enterName("Ann");
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    typeText(pane, "o");
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    typeText(pane, "r");
    ASSERT_TRUE(shows(1, 22, "Press 1 through 6 for spelling, G to guess or P to pass "));
    typeText(pane, "1p");
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    pressKey(pane, "Escape");
    pressEscapeToExit("Press escape to exit ");
    expectHeardAsDesigned(heard(), {"intr", "koal", "plso", "tone1", "tone2", "tone3", "N", "O", "O", "blank",
                                    "quit", "hum", "exit", "haha"});
}

// The server killed at a prompt, a letter's tones played into the void, the
// server back: the closing sounds are heard whole again. The first sound on a
// server just started may be lost to its sink starting up, so only the
// closing sounds count.
TEST_P(ServerSound, TheSoundComesBackAfterTheServerIsKilledAndStartedAgain)
{
    startGameOnServer();
    enterName("Ann");
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    runScript("kill " + serverFolder.string());
    typeText(pane, "n");
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    startServer();
    pressKey(pane, "Escape");
    pressEscapeToExit("Press escape to exit ");
    std::vector<HeardSound> closing = heard();
    closing.erase(closing.begin(), closing.end() - std::min<std::ptrdiff_t>(3, std::ssize(closing)));
    expectHeardAsDesigned(closing, {"hum", "exit", "haha"});
}

// A server that stops answering in the middle of the closing sounds holds
// the game no more than a moment.
TEST_P(ServerSound, AFrozenServerLetsTheGameEnd)
{
    startGameOnServer();
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    pressKey(pane, "Escape");
    ASSERT_TRUE(shows(34, 22, "Press ESCAPE to exit "));
    pressKey(pane, "Escape");
    runScript("freeze " + serverFolder.string());
    auto frozen = std::chrono::steady_clock::now();
    ASSERT_EQ(waitForExit(pane, 10s), 0);
    std::cout << "[ figure ] the game ended "
              << std::chrono::duration<double>(std::chrono::steady_clock::now() - frozen).count()
              << " s after the server froze\n";
}
