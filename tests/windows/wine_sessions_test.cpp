// The Windows download under wine in a real terminal, each case a test of
// its own: what the zip holds, a whole session through the Windows console's
// keys, a console too small, and none at all. windows.setup unpacks the zip
// and boots the wine prefix once for the run (tests/windows/CMakeLists.txt);
// each session plays a copy of the unpacked folder. wine's sound driver is
// off: what PlaySoundA does with a sound is wine's business.
#include <stdlib.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>

#include "tests/support/tmux_game.h"

namespace {

namespace fs = std::filesystem;

const fs::path unpacked = HKH_WINE_FOLDER "/happy-koalas-hum-1.0";
const std::string wineSettings = "WINEPREFIX='" HKH_WINE_FOLDER "/prefix' HOME='" HKH_WINE_FOLDER
                                 "' WINEDEBUG=-all WINEDLLOVERRIDES=winepulse.drv=d ";

// Each session plays its own copy of the unpacked folder. The pane's terminal
// hands Ctrl-Z to wine as a key, as the Windows console does, instead of
// stopping the game (wine keeps Ctrl-C to itself).
class WineSession : public GameInTerminal {
protected:
    void SetUp() override
    {
        GameInTerminal::SetUp();
        if (IsSkipped()) return;
        fs::copy(unpacked, scratch, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        gameCommand = "stty -isig; " + wineSettings + "wine happy-koalas-hum.exe 2>/dev/null";
    }

    // Wine's console takes a lone Escape byte for the start of a key
    // sequence; two in one write reach _getch as one Escape.
    void pressEscape() { typeText(pane, "\x1b\x1b"); }
};

}  // namespace

TEST(WindowsZip, HoldsTheExeTheShippedWordListsAndSoundsAndAReadme)
{
    for (const char* folder : {"lex", "data"}) {
        EXPECT_EQ(std::system(("diff -r -x '.*' '" HKH_SOURCE_DIR "/" + std::string(folder) + "' '" +
                               (unpacked / folder).string() + "'").c_str()), 0);
    }
    EXPECT_TRUE(fs::exists(unpacked / "happy-koalas-hum.exe"));
    std::ifstream file(unpacked / "README.txt", std::ios::binary);
    const std::string readme{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_NE(readme.find("happy-koalas-hum.exe\r\n"), std::string::npos) << "how to start it, with Windows line ends";
}

// Every word list holds one word, so the phrase is "high hashes hush". The
// run-time's text-mode reading took Ctrl-Z for the end of input and ended
// the game; in the name it is ignored like any control key.
TEST_F(WineSession, ARoundWonThroughTheConsolesKeysToTheExit)
{
    fs::remove_all("lex");
    fs::create_directory("lex");
    writeUniformLexicon("high", "hashes", "hush");
    startGame();
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    typeText(pane, "n");
    ASSERT_TRUE(shows(1, 22, "What is your first name?  "));
    typeText(pane, "Jo");
    pressKey(pane, "C-z");
    typeText(pane, "e\r");
    ASSERT_TRUE(shows(1, 1, "Okay Joe time to  hum!"));
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    // The Up arrow reaches _getch as 224, refused, then 72, an "H".
    pressKey(pane, "Up");
    ASSERT_TRUE(shows(1, 23, "h--h h--h-- h--h"));
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    typeText(pane, "g");
    ASSERT_TRUE(shows(1, 22, "Enter phrase of 3 words  for 100 points: "));
    typeText(pane, "High Hashes Hush\r");
    ASSERT_TRUE(shows(1, 22, "Play again or Quit? P or Q "));
    typeText(pane, "q");
    ASSERT_TRUE(shows(34, 22, "Press escape to exit "));
    pressEscape();
    EXPECT_EQ(waitForExit(pane), 0);
}

TEST_F(WineSession, AConsoleOf80By24AsksForRoomAndEscapeLeaves)
{
    startGame({.columns = 80, .rows = 24});
    ASSERT_TRUE(shows(1, 2, "Press Escape to leave the game"));
    pressEscape();
    EXPECT_EQ(waitForExit(pane), 0);
}

// Started with no console, every key read finds the end of input: the game
// ends with status 0 at the title's question instead of asking it for ever.
TEST_F(WineSession, WithoutAConsoleTheGameEndsAtItsFirstKeyRead)
{
    int status = std::system((wineSettings + "timeout 60 wine happy-koalas-hum.exe </dev/null >output 2>/dev/null").c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::ifstream file("output", std::ios::binary);
    const std::string output{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::size_t question = output.find("Do you want instructions?");
    ASSERT_NE(question, std::string::npos) << output;
    EXPECT_EQ(output.find("Do you want instructions?", question + 1), std::string::npos) << "asked twice";
}
