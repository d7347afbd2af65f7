// The real game in a real terminal (tests/support/tmux_pane.h): each test
// starts its own game in a scratch folder with a copy of the shipped data/
// and a lex/ of its own.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/scratch_directory.h"
#include "tests/support/tmux_pane.h"

class GameInTerminal : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("tmux -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
        std::string pattern = (std::filesystem::temp_directory_path() / "hkh-e2e-XXXXXX").string();
        scratch = mkdtemp(pattern.data());
        std::filesystem::create_directory(scratch / "lex");
        std::filesystem::copy(std::filesystem::path(HKH_SOURCE_DIR) / "data", scratch / "data");
    }

    void TearDown() override
    {
        if (started) stopPane(pane);
        std::error_code ignored;
        if (!scratch.empty()) std::filesystem::remove_all(scratch, ignored);
    }

    // The game with no sound device unless the test names one; what the
    // launch's command holds follows the game's path (a redirection).
    void startGame(PaneLaunch launch = {})
    {
        launch.command = "'" HKH_GAME_BINARY "'" + launch.command;
        launch.directory = scratch;
        if (launch.environment.empty()) launch.environment = {"SDL_AUDIODRIVER=dummy"};
        pane = startPane(launch);
        started = true;
    }

    // Waits for the text at (column, row); on failure the message shows the screen.
    ::testing::AssertionResult shows(int column, int row, const std::string& text)
    {
        if (waitForTextAt(pane, column, row, text)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "\"" << text << "\" is not at (" << column << ", " << row
                                             << "); the screen was:\n"
                                             << screenText(captureScreen(pane));
    }

    // From the title to the first round: no instructions, then the name.
    void enterName(const std::string& name)
    {
        ASSERT_TRUE(shows(1, 22, "Do you want instructions?  Y or N  "));
        typeText(pane, "n");
        ASSERT_TRUE(shows(1, 22, "What is your first name?  "));
        typeText(pane, name + "\r");
    }

    std::filesystem::path scratch;
    TmuxPane pane;
    bool started = false;
};
