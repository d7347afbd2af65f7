// Each test starts its own game in its own tmux server and scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/e2e/game_in_tmux.h"

class GameInTerminal : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("tmux -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
        game = prepareGame();
        prepared = true;
    }

    void TearDown() override
    {
        if (prepared) closeGame(game);
    }

    // Waits for the text at (column, row); on failure the message shows the screen.
    ::testing::AssertionResult shows(int column, int row, const std::string& text,
                                     std::chrono::milliseconds limit = std::chrono::seconds(30))
    {
        if (waitForTextAt(game, column, row, text, limit)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "\"" << text << "\" is not at (" << column << ", " << row
                                             << "); the screen was:\n"
                                             << screenText(game);
    }

    ::testing::AssertionResult showsSomewhere(const std::string& text,
                                              std::chrono::milliseconds limit = std::chrono::seconds(30))
    {
        if (waitForText(game, text, limit)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "\"" << text << "\" is not on the screen:\n" << screenText(game);
    }

    // From the title to the first round: no instructions, then the name.
    void enterName(const std::string& name)
    {
        ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
        typeText(game, "n");
        ASSERT_TRUE(shows(1, 22, "What is your first name?  "));
        typeText(game, name + "\r");
    }

    GameInTmux game;
    bool prepared = false;
};
