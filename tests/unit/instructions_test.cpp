#include <gtest/gtest.h>

#include <iostream>
#include <streambuf>

#include "console/console.h"
#include "console/console_double.h"
#include "session/title_screen.h"
#include "tests/unit/golden_screen.h"

namespace {

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

// The pages as the player reads them: tests/unit/screens/instructions_*.txt.
void expectFirstPage() { EXPECT_TRUE(showsGoldenScreen("instructions_first_page")); }
void expectSecondPage() { EXPECT_TRUE(showsGoldenScreen("instructions_second_page")); }

bool showsBareNameScreen()
{
    return wholeScreen() == std::string(8, '\n') + std::string(30, ' ') + "Happy Koalas Hum" + std::string(16, '\n');
}

bool showsEarlyQuitScreen()
{
    return screenText(14, 12, 53) == "So sorry you must leave so soon, come on back for fun" &&
           soundsPlayed() == std::vector<std::string>{"data\\hum.wav", "data\\exit.wav"};
}

TEST_F(Instructions, EachPageIsDrawnWholeWithoutScrollingAndPromptsOnRow25)
{
    runPagerUntilItWaits();
    expectFirstPage();
    EXPECT_EQ(screenRow(22).size(), 80u);  // all 80 columns, no wrap
    EXPECT_EQ(screenText(1, 25, firstPrompt.size()), firstPrompt);
    EXPECT_EQ(testConsole().scrolls, 0);
    EXPECT_EQ(pausesTaken(), std::vector<int>{200});

    restart();
    typeKeys("c");
    runPagerUntilItWaits();
    expectSecondPage();
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
