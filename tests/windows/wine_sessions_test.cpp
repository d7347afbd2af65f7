// Whole sessions of the Windows download under wine, at 80x25 unless a test
// says otherwise: what the zip holds, the title and the pager, a round with a
// known phrase to the summary and the exit, the other ways out, the keys the
// Windows console layer must ignore, and a console that is too small or not
// there at all. The sound is muted: wine's PulseAudio driver is off here
// (wine_sound_test.cpp hears it).
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/support/scratch_directory.h"
#include "tests/windows/wine_game.h"

namespace {

namespace fs = std::filesystem;

std::string fileBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The files of a folder, by name, that differ from the source's or are
// missing or extra.
std::vector<std::string> differences(const fs::path& shipped, const fs::path& source)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(source)) {
        std::string name = entry.path().filename().string();
        if (name.front() == '.') continue;
        if (fileBytes(shipped / name) != fileBytes(entry.path())) found.push_back(name);
    }
    for (const auto& entry : fs::directory_iterator(shipped)) {
        if (!fs::exists(source / entry.path().filename())) found.push_back(entry.path().filename().string());
    }
    return found;
}

}  // namespace

TEST(WindowsZip, HoldsTheExeTheWordListsTheSoundsAndAReadme)
{
    const fs::path& unpacked = wineRun().unpacked;
    std::vector<std::string> top;
    for (const auto& entry : fs::directory_iterator(unpacked)) top.push_back(entry.path().filename().string());
    std::sort(top.begin(), top.end());
    EXPECT_EQ(top, (std::vector<std::string>{"README.txt", "data", "happy-koalas-hum.exe", "lex"}));
    EXPECT_EQ(differences(unpacked / "lex", fs::path(HKH_SOURCE_DIR) / "lex"), std::vector<std::string>{});
    EXPECT_EQ(differences(unpacked / "data", fs::path(HKH_SOURCE_DIR) / "data"), std::vector<std::string>{});
    std::string readme = fileBytes(unpacked / "README.txt");
    EXPECT_NE(readme.find("happy-koalas-hum.exe\r\n"), std::string::npos) << "how to start it, with Windows line ends";
}

using WineSession = WineGame;

TEST_F(WineSession, TheTitleThePagerBothWaysAndTheName)
{
    startGame();
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    EXPECT_TRUE(shows(31, 7, "Happy Koalas Hum"));
    EXPECT_TRUE(shows(28, 9, "Version 1.0 for Windows"));

    typeText(pane, "y");
    ASSERT_TRUE(shows(1, 25, "Press C to continue or R to return to the game  "));
    EXPECT_TRUE(shows(1, 1, "Instructions for Happy Koalas Hum"));
    // The longest row fills all 80 columns without wrapping into the next.
    EXPECT_TRUE(shows(1, 22, "entry must be accurately spelled with a space between the words in order to win."));
    typeText(pane, "c");
    ASSERT_TRUE(shows(1, 25, "Press B to back up or R to return to the game  "));
    EXPECT_TRUE(shows(1, 1, "You get 100 points in the unlikely case that you guess correctly on the first"));
    typeText(pane, "b");
    ASSERT_TRUE(shows(1, 25, "Press C to continue or R to return to the game  "));
    EXPECT_TRUE(shows(1, 1, "Instructions for Happy Koalas Hum"));
    typeText(pane, "r");
    ASSERT_TRUE(shows(1, 22, "What is your first name?  "));
    EXPECT_TRUE(shows(31, 9, "Happy Koalas Hum"));

    // A name keeps its first 14 characters; the shipped word lists give the round.
    typeText(pane, "Kimberly Koalawood\r");
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    EXPECT_TRUE(shows(1, 1, "Okay Kimberly Koala time to  hum!"));
    EXPECT_TRUE(shows(1, 23, "The phrase is: "));
}

// Every word list holds one word, so the phrase is "happy koalas hum".
TEST_F(WineSession, AKnownRoundWithReviewAndCreditThenASecondRoundAndTheWayOut)
{
    fs::remove_all(game / "lex");
    fs::create_directory(game / "lex");
    writeUniformLexicon("happy", "koalas", "hum", game / "lex");
    startGame();
    enterName("Ann");
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    EXPECT_TRUE(shows(1, 1, "Okay Ann time to  hum!"));
    EXPECT_TRUE(shows(1, 23, "The phrase is: h---- k----- h--"));

    typeText(pane, "a");
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    EXPECT_TRUE(shows(1, 1, "There are 3 matches"));
    EXPECT_TRUE(shows(1, 23, "ha--- k-a-a- h--"));
    typeText(pane, "r");
    ASSERT_TRUE(shows(1, 22, "Press 1 through 6 for spelling, G to guess or P to pass "));
    typeText(pane, "14g");
    ASSERT_TRUE(shows(1, 22, "Enter phrase of 3 words  for 100 points: "));
    typeText(pane, "happy kiwis hop\r");
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    EXPECT_TRUE(shows(1, 3, "happy kiwis hop"));
    EXPECT_TRUE(shows(1, 2, "But you got  one word: happy"));
    EXPECT_TRUE(shows(1, 23, "The phrase is: happy k-a-a- h--"));

    typeText(pane, "?");
    ASSERT_TRUE(shows(1, 21, "a "));
    typeText(pane, "o");
    ASSERT_TRUE(shows(1, 22, "Guess, Review or Pass, G, R or P "));
    EXPECT_TRUE(shows(1, 1, "There is one match"));
    typeText(pane, "g");
    ASSERT_TRUE(shows(1, 22, "Enter phrase of 3 words  for 95 points: "));
    typeText(pane, "Happy Koalas Hum\r");
    ASSERT_TRUE(shows(1, 22, "Play again or Quit? P or Q "));
    EXPECT_TRUE(shows(1, 4, "happy koalas hum"));
    EXPECT_TRUE(shows(1, 23, "happy koalas hum"));
    EXPECT_TRUE(shows(1, 24, "You get 95 points for this game Ann"));
    EXPECT_TRUE(shows(1, 1, "Fantastic, Ann, very impressive performance"));

    typeText(pane, "p");
    ASSERT_TRUE(shows(1, 23, "The phrase is: h---- k----- h--"));
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    pressEscape();
    ASSERT_TRUE(shows(27, 5, "I hope you had fun Ann"));
    EXPECT_TRUE(shows(14, 10, "You played 1 game and earned 95 points this session"));
    EXPECT_TRUE(shows(34, 21, "Happy koalas hum Ann"));
    ASSERT_TRUE(shows(34, 22, "Press escape to exit "));
    pressEscape();
    EXPECT_EQ(waitForExit(pane), 0);
}

TEST_F(WineSession, EarlyQuitWaitsForEscapeAndEndsWithStatus0)
{
    startGame();
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    pressEscape();
    ASSERT_TRUE(shows(34, 22, "Press ESCAPE to exit "));
    EXPECT_TRUE(shows(14, 12, "So sorry you must leave so soon, come on back for fun"));
    typeText(pane, "x\r");
    pressEscape();
    EXPECT_EQ(waitForExit(pane), 0);
}

TEST_F(WineSession, AMissingLexiconEndsThroughItsScreen)
{
    fs::remove_all(game / "lex");
    startGame();
    enterName("Ann");
    ASSERT_TRUE(shows(34, 22, "Press ESCAPE to exit "));
    EXPECT_TRUE(shows(1, 1, "Sorry, the lexicon files could not be located"));
    pressEscape();
    EXPECT_EQ(waitForExit(pane), 0);
}

// The run-time's text-mode reading took Ctrl-Z for the end of input and
// ended the game; typed into a line (the name here, a guess alike) it is now
// ignored like any control key.
TEST_F(WineSession, CtrlZInTheNameIsIgnored)
{
    startGame();
    ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
    typeText(pane, "n");
    ASSERT_TRUE(shows(1, 22, "What is your first name?  "));
    typeText(pane, "Jo");
    pressKey(pane, "C-z");
    typeText(pane, "e\r");
    ASSERT_TRUE(shows(1, 22, "Guess a letter "));
    EXPECT_TRUE(shows(1, 1, "Okay Joe time to  hum!"));
}

TEST_F(WineSession, AConsoleOf80By24AsksForRoomAndEscapeLeaves)
{
    startGame(80, 24);
    ASSERT_TRUE(shows(1, 2, "Press Escape to leave the game"));
    EXPECT_TRUE(shows(1, 1, "Please make this window at least 80 columns wide and 25 rows high"));
    pressEscape();
    EXPECT_EQ(waitForExit(pane), 0);
}

// Started with no console, every key read finds the end of input: the game
// ends with status 0 at the title's question instead of asking it for ever.
TEST_F(WineSession, WithoutAConsoleTheGameEndsAtItsFirstKeyRead)
{
    std::string command = "cd '" + game.string() + "' && " + environment.front() +
                          " timeout 20 wine happy-koalas-hum.exe </dev/null >output 2>/dev/null";
    int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::string output = fileBytes(game / "output");
    std::size_t question = output.find("Do you want instructions?");
    ASSERT_NE(question, std::string::npos) << output;
    EXPECT_EQ(output.find("Do you want instructions?", question + 1), std::string::npos) << "asked twice";
}
