#include <gtest/gtest.h>

#include <iostream>
#include <streambuf>

#include "console/console.h"
#include "console/console_double.h"
#include "session/instructions.h"

namespace {

// The rows a player reads on each page, blank rows included, as the screen
// shows them (trailing spaces trimmed).
const std::vector<std::string> firstPageRows{
    "",  // row 1: the title and our byline, checked on its own
    "",
    "Happy Koalas Hum is a challenging word game for Windows in which you guess",
    "letters of the alphabet in order to solve the puzzle of a three word phrase",
    "consisting of an adjective followed by a plural noun followed by a verb.  The",
    "phrases may or may not make sense and some of them will be quite humorous,",
    "such as Happy Koalas Hum.",
    "",
    "You begin by being shown a phrase with  the first letter of each of the",
    "words revealed with  dashes for the remaining letters.  This appears on the",
    "line below the prompt line.  The prompt states guess a letter.  Simply press",
    "any letter in the alphabet without pressing Enter.  You will be informed of how",
    "many instances of that letter there are in the phrase and those letters will be",
    "revealed.  The prompt will then state guess, review, or pass, by pressing g, r,",
    "or p.  Press r for audio spelling of each word.  After pressing r, press",
    "the numbers 1, 2, or 3 on the top row to hear the first, second, and third",
    "words spelled.  You can press 4, 5, and 6 to hear the words spelled out with",
    "phonetics, such as alpha, bravo, charlie and so on.  The 1, 2, and 3",
    "are adequate for most people.  You can listen to the spelling as many times as",
    "you choose.  When ready to proceed, press g if you want to enter a guess",
    "for the phrase or press p if you would rather pass.  If you enter a guess, your",
    "entry must be accurately spelled with a space between the words in order to win.",
    "",
    "",
    "Press C to continue or R to return to the game",
};

const std::vector<std::string> secondPageRows{
    "You get 100 points in the unlikely case that you guess correctly on the first",
    "attempt.  The points for each  guess are reduced by five until you reach",
    "zero after twenty chances.  If you guess one or two  words accurately, you",
    "receive two points for each word if you fail to guess the phrase by the",
    "end of your twenty chances.  You get credit for these one or two word accurate",
    "guesses even if you fail to spell those words correctly in subsequent guesses.",
    "However,  to get credit for guessing the entire phrase correctly, you must",
    "enter it with total accuracy.  Your guesses of the phrase are displayed on the",
    "screen in order, in case you wish to review them.  You may  review your prior",
    "letter guesses by Pressing the question mark at the letter guess prompt .  The",
    "letters will appear on the line above the prompt line.",
    "",
    "Keep these points in mind when playing.  All entries should be in lower case.",
    "Words that are normally hyphenated appear in this game without the hyphens.",
    "Statements of letter matches only include  words not yet guessed.",
    "All spelling  is consistent with United States English and",
    "not the   British spelling.  Verbs may be present or past tense.",
    "Some words fall into both the adjective and verb categories.  You can exit",
    "the game at the guess a letter prompt by pressing the Escape key.",
    "",
    "",  // rows 21 to 23: our closing paragraph, checked on its own
    "",
    "",
    "",
    "Press B to back up or R to return to the game",
};

const std::string firstPrompt = "Press C to continue or R to return to the game  ";
const std::string secondPrompt = "Press B to back up or R to return to the game  ";

// Counts what the game writes, to tell a rewritten prompt from a redrawn page.
struct CountingBuffer : std::streambuf {
    std::streambuf* screen = nullptr;
    std::size_t written = 0;
    int overflow(int character) override
    {
        if (character != traits_type::eof()) ++written;
        return screen->sputc(static_cast<char>(character));
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        written += static_cast<std::size_t>(count);
        return screen->sputn(text, count);
    }
};

struct Instructions : ::testing::Test {
    CountingBuffer counter;
    void SetUp() override { restart(); }
    // A fresh console for the next run of the pager within one test.
    void restart()
    {
        resetTestConsole();
        counter.written = 0;
        counter.screen = std::cout.rdbuf(&counter);
    }
    void TearDown() override { std::cout.rdbuf(counter.screen); }
};

// Runs the pager until it asks for a key the script does not hold, so the
// test sees the page the player is left looking at.
void runPagerUntilItWaits()
{
    EXPECT_THROW(showInstructions(), ScriptExhausted);
}

// Runs the pager to its end: -1 when it returned to the title, else the status.
int runPagerToTheEnd()
{
    try {
        showInstructions();
    } catch (const ProgramEnded& ended) {
        return ended.status;
    }
    return -1;
}

void expectPage(const std::vector<std::string>& rows)
{
    for (int row = 1; row <= screenRows; ++row) {
        if (rows[static_cast<std::size_t>(row - 1)].empty()) continue;
        EXPECT_EQ(trimmedRow(row), rows[static_cast<std::size_t>(row - 1)]) << "row " << row;
    }
}

void expectFirstPage() { expectPage(firstPageRows); }
void expectSecondPage() { expectPage(secondPageRows); }

bool showsBareNameScreen()
{
    return wholeScreen() == std::string(8, '\n') + std::string(30, ' ') + "Happy Koalas Hum" + std::string(16, '\n');
}

bool showsEarlyQuitScreen()
{
    return screenText(14, 12, 53) == "So sorry you must leave so soon, come on back for fun" &&
           soundsPlayed() == std::vector<std::string>{"data\\hum.wav", "data\\exit.wav"};
}

TEST_F(Instructions, FirstPageShowsItsRowsExactly)
{
    runPagerUntilItWaits();
    expectFirstPage();
    const std::string title = "Instructions for Happy Koalas Hum";
    EXPECT_EQ(screenText(1, 1, title.size()), title);
    EXPECT_GT(trimmedRow(1).size(), title.size());  // followed by the byline
    EXPECT_EQ(trimmedRow(2), "");
    EXPECT_EQ(trimmedRow(8), "");
    EXPECT_EQ(screenRow(22).size(), 80u);
    EXPECT_EQ(screenRow(22), firstPageRows[21]);  // all 80 columns, no wrap
    EXPECT_EQ(trimmedRow(23), "");
    EXPECT_EQ(trimmedRow(24), "");
    EXPECT_EQ(screenText(1, 25, firstPrompt.size()), firstPrompt);
    EXPECT_EQ(testConsole().scrolls, 0);
    EXPECT_EQ(pausesTaken(), std::vector<int>{200});
}

TEST_F(Instructions, SecondPageShowsItsRowsExactly)
{
    typeKeys("c");
    runPagerUntilItWaits();
    expectSecondPage();
    EXPECT_EQ(trimmedRow(12), "");
    EXPECT_EQ(trimmedRow(20), "");
    for (int row = 21; row <= 23; ++row) EXPECT_NE(trimmedRow(row), "") << "closing line on row " << row;
    EXPECT_EQ(trimmedRow(24), "");
    EXPECT_EQ(screenText(1, 25, secondPrompt.size()), secondPrompt);
    EXPECT_EQ(testConsole().scrolls, 0);
    EXPECT_EQ(pausesTaken(), (std::vector<int>{200, 200}));
}

TEST_F(Instructions, CAndBTurnThePagesEachDrawnWhole)
{
    typeKeys("cbC");
    runPagerUntilItWaits();
    expectSecondPage();
    restart();
    typeKeys("cB");
    runPagerUntilItWaits();
    expectFirstPage();  // nothing of page 2 is left over
    EXPECT_EQ(pausesTaken(), (std::vector<int>{200, 200, 200}));
}

TEST_F(Instructions, ROnEitherPageReturnsToABareNameScreen)
{
    for (const char* keys : {"r", "R", "cr", "cR", "cbr"}) {
        restart();
        typeKeys(keys);
        EXPECT_EQ(runPagerToTheEnd(), -1) << keys;
        EXPECT_TRUE(showsBareNameScreen()) << keys;
        EXPECT_TRUE(soundsPlayed().empty()) << keys;
    }
}

TEST_F(Instructions, EscapeOrCtrlCOnEitherPageQuitsEarly)
{
    struct Way {
        std::string pagesFirst;
        int code;
    };
    for (const Way& way : {Way{"", escapeKey}, Way{"", ctrlCKey}, Way{"c", escapeKey}, Way{"c", ctrlCKey}}) {
        restart();
        typeKeys(way.pagesFirst);
        typeCode(way.code);
        typeCode(escapeKey);  // answers the early-quit screen
        EXPECT_EQ(runPagerToTheEnd(), 0);
        EXPECT_TRUE(showsEarlyQuitScreen()) << way.pagesFirst << way.code;
        // Straight from the page's prompt to the early-quit screen's pause.
        std::vector<int> pauses(way.pagesFirst.size() + 1, 200);
        pauses.push_back(1000);
        EXPECT_EQ(pausesTaken(), pauses);
    }
}

TEST_F(Instructions, OtherKeysOnlyRewriteThePrompt)
{
    runPagerUntilItWaits();
    const std::size_t pageAndPrompt = counter.written;
    restart();
    typeCode(enterKey);
    typeKeys("bxp1 ");
    typeTwoCodeKey(224, 72);  // Up: two codes, two turns
    runPagerUntilItWaits();
    expectFirstPage();
    EXPECT_EQ(screenText(1, 25, firstPrompt.size()), firstPrompt);
    EXPECT_EQ(pausesTaken(), std::vector<int>(9, 200));
    EXPECT_EQ(counter.written, pageAndPrompt + 8 * firstPrompt.size());  // the page was drawn once

    restart();
    typeKeys("c");
    typeKeys("cx");
    typeCode(0xE3);  // a code above 127 is a negative character, no letter
    runPagerUntilItWaits();
    expectSecondPage();
    EXPECT_EQ(pausesTaken(), std::vector<int>(5, 200));
}

TEST_F(Instructions, TypedAheadKeysAreTakenInOrder)
{
    typeKeys("xCqbzcR");
    EXPECT_EQ(runPagerToTheEnd(), -1);
    EXPECT_TRUE(showsBareNameScreen());
    EXPECT_EQ(pausesTaken(), std::vector<int>(7, 200));
    EXPECT_TRUE(testConsole().typed.empty());
}

TEST_F(Instructions, LeavesKeysTypedAfterRForTheNamePrompt)
{
    typeKeys("rAnn");
    EXPECT_EQ(runPagerToTheEnd(), -1);
    EXPECT_EQ(testConsole().typed.size(), 3u);
}

}  // namespace
