// The game in a real terminal (tmux_pane.h): each test starts its own game
// in a scratch folder of its own, with the shipped data/ and an empty lex/
// for the test to fill. The game reaches no sound server and no sound device
// unless the test names one in the launch's environment.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/scratch_directory.h"
#include "tests/support/tmux_pane.h"

// Wait for the text at (column, row), then type the keys (literally: "\r"
// is Enter, "\x1b" Escape).
struct PlayStep {
    int column;
    int row;
    std::string text;
    std::string keys;
};

class GameInTerminal : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("tmux -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "tmux is not installed";
        entered = enterScratchDirectory();
        scratch = entered.path;
        std::filesystem::copy(HKH_SOURCE_DIR "/data", "data", std::filesystem::copy_options::recursive);
    }

    void TearDown() override
    {
        if (!pane.folder.empty()) stopPane(pane);
        if (!scratch.empty()) leaveScratchDirectory(entered);
    }

    // The launch's command follows the game's (a redirection, say).
    void startGame(PaneLaunch launch = {})
    {
        launch.command = gameCommand + launch.command;
        launch.directory = scratch;
        launch.environment.insert(launch.environment.begin(),
                                  {"PULSE_SERVER=unix:/nonexistent/hkh-no-server", "SDL_AUDIODRIVER=dummy"});
        pane = startPane(launch);
    }

    // Waits for the text at (column, row); on failure the message shows the screen.
    ::testing::AssertionResult shows(int column, int row, const std::string& text)
    {
        if (waitForTextAt(pane, column, row, text)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "\"" << text << "\" is not at (" << column << ", " << row
                                             << "); the screen was:\n" << captureText(pane);
    }

    void play(const std::vector<PlayStep>& steps)
    {
        for (const PlayStep& step : steps) {
            ASSERT_TRUE(shows(step.column, step.row, step.text));
            if (!step.keys.empty()) typeText(pane, step.keys);
        }
    }

    std::string gameCommand = "'" HKH_GAME_BINARY "'";
    ScratchDirectory entered;
    std::filesystem::path scratch;  // the game's working directory, and the test's
    TmuxPane pane;
};
