// A program in a real terminal: a private tmux server with one pane of a
// chosen size. Keys go in with send-keys; the screen comes back with
// capture-pane, and everything the program writes (escape sequences and all)
// is kept in a file from its very first byte. The e2e, sound and windows
// tiers drive the game through this one helper (tmux_game.h); tmux_play is
// its command-line face for the package tier and the benchmark.
#pragma once

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

struct PaneLaunch {
    std::string command{};                   // run by the shell in the pane
    std::filesystem::path directory{};       // its working directory
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

using Screen = std::vector<std::string>;  // the pane's rows, without their trailing blanks

inline constexpr std::chrono::milliseconds defaultWait{30000};

// Single quotes for the shell: a quote in a path or a typed text must not break the command.
inline std::string shellQuoted(const std::string& text)
{
    std::string result = "'";
    for (char character : text) result += character == '\'' ? std::string("'\\''") : std::string(1, character);
    return result + "'";
}

inline std::string tmuxCommand(const TmuxPane& pane, const std::string& arguments)
{
    return "tmux -S " + shellQuoted((pane.folder / "socket").string()) + " " + arguments;
}

inline std::string runTmux(const TmuxPane& pane, const std::string& arguments)
{
    std::string output;
    FILE* pipe = popen((tmuxCommand(pane, arguments) + " 2>/dev/null").c_str(), "r");
    char buffer[4096];
    for (std::size_t count; pipe && (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, count);
    }
    if (pipe) pclose(pipe);
    return output;
}

template <typename Found>
bool pollUntil(const TmuxPane& pane, std::chrono::milliseconds limit, Found found)
{
    auto giveUp = std::chrono::steady_clock::now() + limit;
    for (; !found(); std::this_thread::sleep_for(pane.pollInterval)) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
    }
    return true;
}

// Starts the command in a new server. The pane's shell waits for the go
// signal, sent once the output is piped to its file, so not a byte is
// missed; tmux's own record of a pane's status comes back empty now and
// then, so the shell around the command writes it, in one rename.
inline TmuxPane startPane(const PaneLaunch& launch)
{
    TmuxPane pane;
    std::string pattern = (std::filesystem::temp_directory_path() / "hkh-tmux-XXXXXX").string();
    pane.folder = mkdtemp(pattern.data());
    // The pane stays after the program ends, blank, so its last screen can
    // be read; without exit-empty off the server can quit between commands.
    std::ofstream(pane.folder / "tmux.conf") << "set -g remain-on-exit on\nset -g remain-on-exit-format \"\"\n"
                                                "set -g exit-empty off\nset -g status off\nset -s escape-time 0\n";
    std::string status = shellQuoted((pane.folder / "status").string());
    std::string command = tmuxCommand(pane, "wait-for go") + "; " + (launch.recordStatus ? "" : "exec ") + launch.command;
    if (launch.recordStatus) command += "\necho $? >" + status + ".new; mv " + status + ".new " + status;
    std::string arguments = "-f " + shellQuoted((pane.folder / "tmux.conf").string()) + " new-session -d -s game -x " +
                            std::to_string(launch.columns) + " -y " + std::to_string(launch.rows) + " -c " +
                            shellQuoted(launch.directory.string());
    for (const std::string& setting : launch.environment) arguments += " -e " + shellQuoted(setting);
    runTmux(pane, arguments + " " + shellQuoted(command));
    std::ofstream(pane.folder / "output").flush();
    runTmux(pane, "pipe-pane -t game " + shellQuoted("exec cat >> " + shellQuoted((pane.folder / "output").string())));
    runTmux(pane, "wait-for -S go");
    return pane;
}

// Kills the server and removes its folder.
inline void stopPane(TmuxPane& pane)
{
    runTmux(pane, "kill-server");
    std::error_code ignored;
    std::filesystem::remove_all(pane.folder, ignored);
}

// Literal text, typed as it stands ("\r" is Enter, "\x1b" Escape), or (-l left off) a key by its tmux name.
inline void typeText(const TmuxPane& pane, const std::string& text, const std::string& how = "-l ")
{
    runTmux(pane, "send-keys -t game " + how + shellQuoted(text));
}
inline void pressKey(const TmuxPane& pane, const std::string& key) { typeText(pane, key, ""); }
inline void resizePane(const TmuxPane& pane, int columns, int rows)
{
    runTmux(pane, "resize-window -t game -x " + std::to_string(columns) + " -y " + std::to_string(rows));
}

// The pane's rows as they stand, one a line (for failure messages too).
inline std::string captureText(const TmuxPane& pane) { return runTmux(pane, "capture-pane -p -N -t game"); }
inline Screen captureScreen(const TmuxPane& pane)
{
    Screen rows;
    std::istringstream text(captureText(pane));
    for (std::string row; std::getline(text, row);) rows.push_back(row);
    return rows;
}

// The text found at (column, row), both counted from 1, blanks past the row's end.
inline std::string textAt(const Screen& screen, int column, int row, std::size_t length)
{
    if (row < 1 || static_cast<std::size_t>(row) > screen.size() || column < 1) return {};
    return (screen[static_cast<std::size_t>(row - 1)] + std::string(column - 1 + length, ' ')).substr(column - 1, length);
}

// What the program has written so far, from byte `from` on.
inline std::string paneOutput(const TmuxPane& pane, std::size_t from = 0)
{
    std::ifstream file(pane.folder / "output", std::ios::binary);
    file.seekg(static_cast<std::streamoff>(from));
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Waits until the text stands at (column, row); false after the limit.
inline bool waitForTextAt(const TmuxPane& pane, int column, int row, const std::string& text,
                          std::chrono::milliseconds limit = defaultWait)
{
    return pollUntil(pane, limit, [&] { return textAt(captureScreen(pane), column, row, text.size()) == text; });
}

// Waits until the program writes the text at or after byte `from` of its
// output; gives the offset just past it.
inline std::optional<std::size_t> waitForOutput(const TmuxPane& pane, const std::string& text, std::size_t from,
                                                std::chrono::milliseconds limit = defaultWait)
{
    std::size_t found = std::string::npos;
    if (!pollUntil(pane, limit, [&] { return (found = paneOutput(pane, from).find(text)) != std::string::npos; })) return {};
    return from + found + text.size();
}

// The command's exit status once it has ended (128 + N for signal N).
inline std::optional<int> waitForExit(const TmuxPane& pane, std::chrono::milliseconds limit = defaultWait)
{
    int status = 0;
    if (!pollUntil(pane, limit, [&] { return static_cast<bool>(std::ifstream(pane.folder / "status") >> status); })) return {};
    return status;
}
