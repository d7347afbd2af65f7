// A program in a real terminal: a private tmux server with one pane of a
// chosen size. Keys go in with send-keys; the screen comes back with
// capture-pane, and everything the program writes (escape sequences and all)
// is kept in a file from its very first byte. The e2e, sound and windows
// tiers drive the game through this one helper; tmux_play is its
// command-line face for the package tier and the benchmark.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct PaneLaunch {
    std::string command{};              // run by the shell in the pane
    std::filesystem::path directory{};  // its working directory
    int columns = 80;
    int rows = 25;
    std::vector<std::string> environment{};  // NAME=VALUE; a later one wins
    bool recordStatus = true;  // false: the pane's process is the command itself, and no status is kept
};

// The server's socket, its settings, the output and the status live in the folder.
struct TmuxPane {
    std::filesystem::path folder;
    std::chrono::milliseconds pollInterval{40};
};

using Screen = std::vector<std::string>;  // the pane's rows, each as wide as the pane

// Starts the command in a new server; the command runs only once its output
// is being recorded.
TmuxPane startPane(const PaneLaunch& launch);
// Kills the server and removes its folder.
void stopPane(TmuxPane& pane);

// Literal text, typed as it stands ("\r" is Enter).
void typeText(const TmuxPane& pane, const std::string& text);
// A key by its tmux name: Escape, Enter, C-z, Up.
void pressKey(const TmuxPane& pane, const std::string& keyName);
void resizePane(const TmuxPane& pane, int columns, int rows);

Screen captureScreen(const TmuxPane& pane);
// The rows framed, one a line, for failure messages.
std::string screenText(const Screen& screen);
// The text found at (column, row), both counted from 1.
std::string textAt(const Screen& screen, int column, int row, std::size_t length);
// What the program has written so far, from byte `from` on.
std::string paneOutput(const TmuxPane& pane, std::size_t from = 0);

inline constexpr std::chrono::milliseconds defaultWait{30000};

// Waits until the text stands at (column, row); false after the limit.
bool waitForTextAt(const TmuxPane& pane, int column, int row, const std::string& text,
                   std::chrono::milliseconds limit = defaultWait);
// Waits until the program writes the text at or after byte `from` of its
// output; gives the offset just past it.
std::optional<std::size_t> waitForOutput(const TmuxPane& pane, const std::string& text, std::size_t from,
                                         std::chrono::milliseconds limit = defaultWait);
// The command's exit status once it has ended (128 + N for signal N).
std::optional<int> waitForExit(const TmuxPane& pane, std::chrono::milliseconds limit = defaultWait);
