// The Windows download played under wine in a real terminal
// (tests/support/tmux_pane.h). The zip is unpacked and one wine prefix is
// booted once for the whole run (WineRun); each session starts from a copy
// of the unpacked folder, with a lex/ of its own where the test needs one.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/tmux_pane.h"

// What every session shares: set up by the test program's environment.
struct WineRun {
    std::filesystem::path folder;    // all of the run's files, removed at its end
    std::filesystem::path unpacked;  // the zip's game folder
    std::filesystem::path prefix;    // the wine prefix
};

const WineRun& wineRun();

class WineGame : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the .exe in the session's folder, in a pane of this size. The
    // pane's terminal hands Ctrl-Z to wine as a key, as the Windows console
    // does, instead of stopping the game (wine keeps Ctrl-C to itself).
    void startGame(int columns = 80, int rows = 25);

    // Waits for the text at (column, row); on failure the message shows the screen.
    ::testing::AssertionResult shows(int column, int row, const std::string& text);

    // Wine's console takes a lone Escape byte for the start of a key
    // sequence; two in one write reach _getch as one Escape.
    void pressEscape();

    // From the title to the first round: no instructions, then the name.
    void enterName(const std::string& name);

    std::filesystem::path game;  // the session's copy of the unpacked folder
    // NAME=VALUE, for the game's pane: muted unless a test turns wine's
    // PulseAudio driver back on and names a server.
    std::vector<std::string> environment{"WINEDLLOVERRIDES=winepulse.drv=d"};
    TmuxPane pane;
    bool started = false;
};
