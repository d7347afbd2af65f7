// The real binary from its start to its exit, where only a real terminal and
// a real sound device can show it: the window's size checked before the
// title, a page of 80-column rows, lines typed with echo, a two-code key, a
// round won, the summary, the exit status, and
// what the player heard, sample for sample: SDL's disk driver records the
// device's whole output to a file, which must hold exactly the expected
// sounds, in order, with only silence between them. What each screen holds
// is checked on the test double (tests/unit/).
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

// Each sound whole, in this order, with only silence before, between and after.
void expectHeardInOrder(const std::filesystem::path& recording, const std::filesystem::path& data,
                        const std::vector<std::string>& expected)
{
    std::string recorded = fileBytes(recording);
    Samples heard = samplesOf(recorded, 0, recorded.size());
    auto position = heard.begin();
    auto silent = [](std::int16_t sample) { return sample == 0; };
    for (const std::string& name : expected) {
        Samples sound = wavSamples(data / (name + ".wav"));
        ASSERT_FALSE(sound.empty()) << name;
        auto found = std::search(position, heard.end(), std::boyer_moore_horspool_searcher(sound.begin(), sound.end()));
        ASSERT_NE(found, heard.end()) << name << ".wav is not in the recording after the sounds before it";
        EXPECT_TRUE(std::all_of(position, found, silent)) << "something other than silence before " << name << ".wav";
        position = found + static_cast<std::ptrdiff_t>(sound.size());
    }
    EXPECT_TRUE(std::all_of(position, heard.end(), silent)) << "something played after the last sound";
}

PaneLaunch smallWindow()
{
    PaneLaunch launch;
    launch.columns = 60;
    launch.rows = 20;
    return launch;
}

}  // namespace

using WholeGame = GameInTerminal;

// Every lexicon file holds the same word, so the phrase is "high hashes hush".
TEST_F(WholeGame, FromASmallWindowThroughTheTitleAndAWonRoundToTheSummaryHeardInFull)
{
    writeUniformLexicon("high", "hashes", "hush", scratch / "lex");
    const std::filesystem::path recording = scratch / "recording.raw";
    PaneLaunch launch = smallWindow();
    launch.environment = {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + recording.string()};
    startGame(launch);
    // 60 columns wrap the message after its 60th character.
    ASSERT_TRUE(shows(1, 1, "Please make this window at least 80 columns wide and 25 ro"));
    resizePane(pane, 80, 25);
    ASSERT_TRUE(shows(31, 7, "Happy Koalas Hum"));
    EXPECT_EQ(textAt(captureScreen(pane), 28, 9, 23), "Version 1.0 for Windows");
    // The first page's row 22 fills all 80 columns: on a real terminal it
    // must not wrap onto row 23.
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    typeText(pane, "y");
    ASSERT_TRUE(shows(1, 25, "Press C to continue or R to return to the game  "));
    Screen page = captureScreen(pane);
    EXPECT_EQ(rowText(page, 22), "entry must be accurately spelled with a space between the words in order to win.");
    EXPECT_EQ(rowText(page, 23), std::string(80, ' '));
    typeText(pane, "r");
    ASSERT_TRUE(shows(1, 22, "What is your first name?  "));
    typeText(pane, "Ann\r");
    ASSERT_TRUE(shows(1, 23, "The phrase is: h--- h----- h---"));
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));

    // The Up arrow comes as two codes, as the Windows console gives it: 224,
    // refused, then 72, an "H", one in each word.
    pressKey(pane, "Up");
    ASSERT_TRUE(shows(1, 1, "There are 3 matches"));
    ASSERT_TRUE(shows(1, 23, "h--h h--h-- h--h"));
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    typeText(pane, "g");
    ASSERT_TRUE(shows(1, 22, "Enter phrase of 3 words  for 100 points: "));
    typeText(pane, "High Hashes Hush\r");
    ASSERT_TRUE(shows(1, 22, "Play again or Quit? P or Q "));
    EXPECT_EQ(textAt(captureScreen(pane), 1, 24, 36), "You get 100 points for this game Ann");

    typeText(pane, "q");
    ASSERT_TRUE(shows(14, 10, "You played 1 game and earned 100 points this session"));
    ASSERT_TRUE(shows(34, 22, "Press escape to exit "));
    pressKey(pane, "Escape");
    ASSERT_EQ(waitForExit(pane), 0);
    expectHeardInOrder(recording, scratch / "data",
                       {"intr", "koal", "plso", "tone1", "tone2", "tone3", "fupo1", "fupo1", "fupo1", "yes", "fupo2",
                        "quit", "hum", "exit", "haha"});
}

TEST_F(WholeGame, EscapeWhileTheWindowIsTooSmallEndsAtOnce)
{
    startGame(smallWindow());
    ASSERT_TRUE(shows(1, 1, "Please make this window"));
    pressKey(pane, "Escape");
    EXPECT_EQ(waitForExit(pane), 0);
}

TEST_F(WholeGame, InputThatIsNotATerminalIsRefusedWithStatus1)
{
    PaneLaunch launch;
    launch.command = " </dev/null";
    startGame(launch);
    EXPECT_EQ(waitForExit(pane), 1);
    EXPECT_TRUE(shows(1, 1, "happy-koalas-hum: this game needs an interactive terminal"));
}
