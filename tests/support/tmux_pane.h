// A program in a real terminal: a private tmux server with one pane of a
// chosen size. Keys go in with send-keys; the screen comes back with
// capture-pane, and everything the program writes (escape sequences and all)
// is kept in a file from its very first byte. The e2e, sound and windows
// tiers drive the game through this one helper (tmux_game.h), the terminal
// tier has it draw what a bare pseudo-terminal received (pty_game.h), and
// bench/pane_play.cpp is its command-line face for the benchmark.
#pragma once

#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
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
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    for (; !found(); std::this_thread::sleep_for(pane.pollInterval)) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
    }
    return true;
}

// Starts the command in a new server. The pane's shell waits for the go
// signal, sent once the output is piped to its file, so not a byte is
// missed; tmux's own record of a pane's status comes back empty now and
// then, so the shell around the command writes it, in one rename. The pane
// stays after the program ends, blank, so its last screen can be read;
// without exit-empty off the server can quit between commands.
inline TmuxPane startPane(const PaneLaunch& launch)
{
    TmuxPane pane;
    std::string pattern = (std::filesystem::temp_directory_path() / "hkh-tmux-XXXXXX").string();
    pane.folder = mkdtemp(pattern.data());
    std::ofstream(pane.folder / "tmux.conf") << "set -g remain-on-exit on\nset -g remain-on-exit-format \"\"\n"
                                                "set -g exit-empty off\nset -g status off\nset -s escape-time 0\n";
    std::ofstream(pane.folder / "output").flush();
    const std::string status = shellQuoted((pane.folder / "status").string());
    std::string arguments = "-f " + shellQuoted((pane.folder / "tmux.conf").string()) + " new-session -d -s game -x " +
                            std::to_string(launch.columns) + " -y " + std::to_string(launch.rows) + " -c " +
                            shellQuoted(launch.directory.string());
    for (const std::string& setting : launch.environment) arguments += " -e " + shellQuoted(setting);
    const std::string command =
        tmuxCommand(pane, "wait-for go") + "; " +
        (launch.recordStatus ? launch.command + "\necho $? >" + status + ".new; mv " + status + ".new " + status
                             : "exec " + launch.command);
    runTmux(pane, arguments + " " + shellQuoted(command));
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

// Literal text, typed as it stands ("\r" is Enter, "\x1b" Escape), or a key by its tmux name.
inline void typeText(const TmuxPane& pane, const std::string& text, const std::string& how = "-l ")
{
    runTmux(pane, "send-keys -t game " + how + shellQuoted(text));
}
inline void pressKey(const TmuxPane& pane, const std::string& key) { typeText(pane, key, ""); }

// The pane's rows as they stand, one a line, without their trailing blanks.
inline std::string captureText(const TmuxPane& pane) { return runTmux(pane, "capture-pane -p -t game"); }

// The text found at (column, row) of a captured screen, both counted from 1, blanks past the row's end.
inline std::string textAt(const std::string& screen, int column, int row, std::size_t length)
{
    std::istringstream lines(screen);
    std::string line;
    int at = 0;
    while (at < row && std::getline(lines, line)) ++at;
    if (at < row || column < 1) return {};
    return (line + std::string(column - 1 + length, ' ')).substr(column - 1, length);
}

// Waits until the text stands at (column, row); false after the limit.
inline bool waitForTextAt(const TmuxPane& pane, int column, int row, const std::string& text,
                          std::chrono::milliseconds limit = defaultWait)
{
    return pollUntil(pane, limit, [&] { return textAt(captureText(pane), column, row, text.size()) == text; });
}

// The command's exit status once it has ended (128 + N for signal N).
inline std::optional<int> waitForExit(const TmuxPane& pane, std::chrono::milliseconds limit = defaultWait)
{
    int status = 0;
    if (!pollUntil(pane, limit, [&] { return bool(std::ifstream(pane.folder / "status") >> status); })) return {};
    return status;
}
