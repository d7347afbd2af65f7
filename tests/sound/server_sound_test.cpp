// What a player hears through a real sound server set up as a desktop has it
// (tests/sound/null_sink_server.sh), recorded from the sink's monitor while
// the real game runs in tmux: every sound whole and in order, nothing between
// back-to-back sounds, each designed pause as long as designed, and a server
// that dies or stops answering never holds the game.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

#include "tests/support/tmux_game.h"
#include "tests/sound/heard_sounds.h"

namespace {

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
    bool restarts;  // killed at a prompt mid-game and started again
};

void PrintTo(const ServerCase& server, std::ostream* out) { *out << server.name; }

const ServerCase serverCases[] = {
    {"PulseAudioAt48kHzStereo", "pulseaudio", "rate=48000", 0.010, false},
    {"PulseAudioAtItsDefault44kHzStereo", "pulseaudio", "", 0.010, false},
    {"PulseAudioInTheGamesFormat", "pulseaudio", "rate=22050 channels=1", 0.010, false},
    {"PipeWireAtItsDefault48kHzFloat", "pipewire", "", 0.002, true},
};

// The silence the design puts before a sound, where no key is read between.
struct DesignedGap {
    const char* before;
    const char* after;
    double seconds;
};

const DesignedGap designedGaps[] = {
    {"intr", "koal", 0}, {"koal", "plso", 0},   {"tone1", "tone2", 0}, {"tone2", "tone3", 0}, {"N", "O", 0.1},
    {"O", "O", 0.1},     {"O", "blank", 0.1},   {"hum", "exit", 0},    {"exit", "haha", 0},
};

const std::vector<std::string> openingToReview = {"intr", "koal", "plso", "tone1", "tone2", "tone3",
                                                  "N",    "O",    "O",    "blank"};
const std::vector<std::string> closing = {"hum", "exit", "haha"};

std::string runServerScript(const std::string& arguments)
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
        server = (scratch / "server").string();
        address = runServer("start", std::string(GetParam().kind) + " " + GetParam().sinkOptions);
        // The game is pointed at the recorded sink by name, as a player may.
        PaneLaunch launch;
        launch.environment = {"PULSE_SERVER=" + address, "PULSE_SINK=rec"};
        startGame(launch);
    }

    void TearDown() override
    {
        if (!server.empty()) runServer("stop");
        GameInTerminal::TearDown();
    }

    std::string runServer(const std::string& step, const std::string& arguments = "")
    {
        return runServerScript(step + " " + server + " " + arguments);
    }

    // The first sound must come after the recording's first samples.
    void startRecording() { runServer("record", server + "/heard" + std::to_string(++recordings) + ".wav"); }

    std::vector<HeardSound> heard()
    {
        runServer("stop-recording");
        return hearSounds(server + "/heard" + std::to_string(recordings) + ".wav", sounds);
    }

    // The sounds by name and, where the design says, with the gap before them.
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
            for (const DesignedGap& designed : designedGaps) {
                if (index == 0 || heard[index - 1].name != designed.before || heard[index].name != designed.after) {
                    continue;
                }
                EXPECT_GE(gap, designed.seconds - wholeWithin) << "before " << heard[index].name;
                EXPECT_LE(gap, designed.seconds + lateWithin) << "before " << heard[index].name;
            }
        }
    }

    TestSounds sounds;
    std::string server;
    std::string address;
    int recordings = 0;
};

INSTANTIATE_TEST_SUITE_P(Desktops, ServerSound, ::testing::ValuesIn(serverCases),
                         [](const auto& info) { return std::string(info.param.name); });

class FrozenServer : public ServerSound {};

INSTANTIATE_TEST_SUITE_P(Desktop, FrozenServer, ::testing::Values(serverCases[1]),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// The opening, a letter's three tones, a spelled word with its pauses, the
// quit and the farewell, to the last sample of the last sound before the
// game ends. Where the server is killed at a prompt, a letter's tones go
// into the void and the server comes back: the closing sounds are heard
// whole again. The first sound on a server just started may be lost to its
// sink starting up, so only the closing sounds count there.
TEST_P(ServerSound, ASessionIsHeardWholeWithItsGapsAndPausesAsDesigned)
{
    startRecording();
    play({{1, 22, "Do you want instructions?  Y or N  ", "n"}, {1, 22, "What is your first name?  ", ""}});
    runServer("await-recording");
    typeText(pane, "Ann\r");
    play({{1, 22, "Guess a letter ", "o"},
          {1, 22, "Guess, Review or Pass, G, R or P ", "r"},
          {1, 22, "Press 1 through 6 for spelling, G to guess or P to pass ", "1p"},
          {1, 22, "Guess a letter ", ""}});
    std::vector<HeardSound> heardFirst;
    if (GetParam().restarts) {
        runServer("kill");
        heardFirst = heard();
        play({{1, 22, "Guess a letter ", "n"}, {1, 22, "Guess, Review or Pass, G, R or P ", ""}});
        address = runServer("start", std::string(GetParam().kind) + " " + GetParam().sinkOptions);
        startRecording();
        runServer("await-recording");
    }
    pressKey(pane, "Escape");
    ASSERT_TRUE(shows(34, 22, "Press escape to exit "));
    pressKey(pane, "Escape");
    ASSERT_EQ(waitForExit(pane, 10s), 0);
    std::vector<HeardSound> heardLast = heard();
    if (GetParam().restarts) {
        expectHeardAsDesigned(heardFirst, openingToReview);
        heardLast.erase(heardLast.begin(), heardLast.end() - std::min<std::ptrdiff_t>(3, std::ssize(heardLast)));
        expectHeardAsDesigned(heardLast, closing);
        return;
    }
    std::vector<std::string> session = openingToReview;
    session.push_back("quit");
    session.insert(session.end(), closing.begin(), closing.end());
    expectHeardAsDesigned(heardLast, session);
}

// A server that stops answering before the early quit's closing sounds
// lets Escape end the game within 2 s.
TEST_P(FrozenServer, EscapeEndsTheGameSoon)
{
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    pressKey(pane, "Escape");
    ASSERT_TRUE(shows(34, 22, "Press ESCAPE to exit "));
    runServer("freeze");
    pressKey(pane, "Escape");
    auto pressed = std::chrono::steady_clock::now();
    ASSERT_EQ(waitForExit(pane, 10s), 0);
    std::chrono::duration<double> ended = std::chrono::steady_clock::now() - pressed;
    std::cout << "[ figure ] the game ended " << ended.count() << " s after Escape\n";
    EXPECT_LE(ended.count(), 2.0);
}
