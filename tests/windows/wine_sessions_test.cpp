// The Windows download under wine in a real terminal: a whole session
// through the Windows console's keys, and a console too small.
// tests/windows/CMakeLists.txt unpacks the zip and boots the wine prefix once
// for the run; each session plays a copy of the unpacked folder. wine's
// sound driver is off: what PlaySoundA does with a sound is wine's business.
#include "tests/sound/heard_sounds.h"
#include "tests/support/tmux_game.h"

namespace {

namespace fs = std::filesystem;

// Each session plays its own copy of the unpacked folder. The pane's terminal
// hands Ctrl-Z to wine as a key, as the Windows console does, instead of
// stopping the game (wine keeps Ctrl-C to itself). Wine's console takes a
// lone Escape byte for the start of a key sequence; two in one write reach
// _getch as one Escape.
class WineSession : public GameInTerminal {
protected:
    void SetUp() override
    {
        GameInTerminal::SetUp();
        if (IsSkipped()) return;
        const auto replacing = fs::copy_options::recursive | fs::copy_options::overwrite_existing;
        fs::copy(HKH_WINE_FOLDER "/happy-koalas-hum-1.0", scratch, replacing);
        writeTestSounds(scratch / "data", true);  // short: what the console does is tested, not the sounds
        gameCommand = "stty -isig; WINEPREFIX='" HKH_WINE_FOLDER "/prefix' HOME='" HKH_WINE_FOLDER
                      "' WINEDEBUG=-all WINEDLLOVERRIDES=winepulse.drv=d wine " + gameCommand + " 2>/dev/null";
    }
};

}  // namespace

// Every word list holds one word, so the phrase is "high hashes hush". The
// run-time's text-mode reading took Ctrl-Z for the end of input and ended
// the game; in the name it is ignored like any control key. The Up arrow
// reaches _getch as 224, refused, then 72, an "H".
TEST_F(WineSession, ARoundWonThroughTheConsolesKeysToTheExit)
{
    fs::remove_all("lex");
    writeUniformLexicon("high", "hashes", "hush");
    startGame();
    play({{1, 22, "Do you want instructions?  Y or N  ", "n"}, {1, 22, "What is your first name?  ", "Jo\x1a" "e\r"},
          {1, 1, "Okay Joe time to  hum!", ""}, {1, 22, "Guess a letter ", "\x1b[A"}, {1, 23, "h--h h--h-- h--h", ""},
          {1, 22, "Guess, Review or Pass, G, R or P ", "g"},
          {1, 22, "Enter phrase of 3 words  for 100 points: ", "High Hashes Hush\r"},
          {1, 22, "Play again or Quit? P or Q ", "q"}, {34, 22, "Press escape to exit ", "\x1b\x1b"}});
    EXPECT_EQ(waitForExit(pane), 0);
}

TEST_F(WineSession, AConsoleOf80By24AsksForRoomAndEscapeLeaves)
{
    startGame({.columns = 80, .rows = 24});
    play({{1, 2, "Press Escape to leave the game", "\x1b\x1b"}});
    EXPECT_EQ(waitForExit(pane), 0);
}
