// The real binary from a small window to its exit, where only a real terminal
// and a real sound device can show it: the request for room wrapped by a
// narrow window, a page row of all 80 columns that must not wrap, an arrow
// key as the terminal sends it, a round won, the exit status, and what the
// player heard, sample for sample: SDL's disk driver records the device's
// whole output, which must hold exactly the expected sounds, in order, with
// only silence between them; short test sounds stand in for the shipped
// ones, whose lengths are the sound tier's. What each screen holds is the
// unit tier's.
#include <algorithm>
#include <cstring>
#include <functional>

#include "console/sound_samples.h"
#include "tests/sound/heard_sounds.h"
#include "tests/support/golden_file.h"
#include "tests/support/tmux_game.h"

namespace {

// Each sound whole, in this order, with only silence before, between and after.
void expectHeardInOrder(const std::filesystem::path& recording, const std::vector<std::string>& expected)
{
    const std::string bytes = readWholeFile(recording);
    Samples heard(bytes.size() / 2);
    std::memcpy(heard.data(), bytes.data(), heard.size() * 2);
    auto position = heard.begin();
    auto silent = [](std::int16_t sample) { return sample == 0; };
    for (const std::string& name : expected) {
        const Samples sound = loadSamples("data/" + name + ".wav");
        ASSERT_FALSE(sound.empty()) << name;
        auto found = std::search(position, heard.end(), std::boyer_moore_horspool_searcher(sound.begin(), sound.end()));
        ASSERT_NE(found, heard.end()) << name << ".wav is not in the recording after the sounds before it";
        EXPECT_TRUE(std::all_of(position, found, silent)) << "something other than silence before " << name << ".wav";
        position = found + static_cast<std::ptrdiff_t>(sound.size());
    }
    EXPECT_TRUE(std::all_of(position, heard.end(), silent)) << "something played after the last sound";
}

}  // namespace

using WholeGame = GameInTerminal;

// Every lexicon file holds the same word, so the phrase is "high hashes hush".
// The Up arrow comes as two codes, as the Windows console gives it: 224,
// refused, then 72, an "H", one in each word.
TEST_F(WholeGame, FromASmallWindowThroughAWonRoundToTheExitHeardInFull)
{
    writeUniformLexicon("high", "hashes", "hush");
    writeTestSounds("data", true);
    startGame({.columns = 60, .rows = 20, .environment = {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=heard.raw"}});
    ASSERT_TRUE(shows(1, 1, "Please make this window at least 80 columns wide and 25 ro"));
    runTmux(pane, "resize-window -t game -x 80 -y 25");
    play({{1, 22, "Do you want instructions?  Y or N  ", "y"},
          {1, 25, "Press C to continue or R to return to the game  ", ""}});
    const std::string page = captureText(pane);
    EXPECT_EQ(textAt(page, 1, 22, 80),
              "entry must be accurately spelled with a space between the words in order to win.");
    EXPECT_EQ(textAt(page, 1, 23, 80), std::string(80, ' '));
    play({{1, 25, "Press C", "r"}, {1, 22, "What is your first name?  ", "Ann\r"}, {1, 22, "Guess a letter ", "\x1b[A"},
          {1, 23, "h--h h--h-- h--h", ""}, {1, 22, "Guess, Review or Pass, G, R or P ", "g"},
          {1, 22, "Enter phrase of 3 words  for 100 points: ", "High Hashes Hush\r"},
          {1, 22, "Play again or Quit? P or Q ", "q"}, {34, 22, "Press escape to exit ", "\x1b"}});
    ASSERT_EQ(waitForExit(pane), 0);
    expectHeardInOrder("heard.raw", {"intr", "koal", "plso", "tone1", "tone2", "tone3", "fupo1", "fupo1", "fupo1",
                                     "yes", "fupo2", "quit", "hum", "exit", "haha"});
}
