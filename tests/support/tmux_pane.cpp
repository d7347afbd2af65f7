#include "tests/support/tmux_pane.h"

#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace {

// Single quotes for the shell: a quote in a path or a typed text must not
// break the command.
std::string shellQuoted(const std::string& text)
{
    std::string result = "'";
    for (char character : text) result += character == '\'' ? std::string("'\\''") : std::string(1, character);
    return result + "'";
}

std::string tmuxCommand(const TmuxPane& pane, const std::string& arguments)
{
    return "tmux -S " + shellQuoted((pane.folder / "socket").string()) + " " + arguments;
}

void runTmux(const TmuxPane& pane, const std::string& arguments)
{
    [[maybe_unused]] int ignored = std::system((tmuxCommand(pane, arguments) + " >/dev/null 2>&1").c_str());
}

std::string tmuxOutput(const TmuxPane& pane, const std::string& arguments)
{
    std::string output;
    FILE* pipe = popen((tmuxCommand(pane, arguments) + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, count);
    pclose(pipe);
    return output;
}

// The pane's shell waits for the go signal, sent once the output is piped
// to its file, so not a byte of the program's output is missed. tmux's own
// record of a pane's status comes back empty now and then, so the shell
// around the program writes it, in one rename.
std::string paneCommand(const TmuxPane& pane, const PaneLaunch& launch)
{
    std::string gate = tmuxCommand(pane, "wait-for go") + "; ";
    if (!launch.recordStatus) return gate + "exec " + launch.command;
    std::string status = shellQuoted((pane.folder / "status").string());
    return gate + launch.command + "\necho $? > " + status + ".new; mv " + status + ".new " + status;
}

template <typename Found>
bool pollUntil(const TmuxPane& pane, std::chrono::milliseconds limit, Found found)
{
    auto giveUp = std::chrono::steady_clock::now() + limit;
    while (!found()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(pane.pollInterval);
    }
    return true;
}

}  // namespace

TmuxPane startPane(const PaneLaunch& launch)
{
    TmuxPane pane;
    std::string pattern = (std::filesystem::temp_directory_path() / "hkh-tmux-XXXXXX").string();
    pane.folder = mkdtemp(pattern.data());
    // The pane stays after the program ends, blank, so its last screen can
    // be read; without exit-empty off the server can quit between commands.
    std::ofstream(pane.folder / "tmux.conf") << "set -g remain-on-exit on\nset -g remain-on-exit-format \"\"\n"
                                                "set -g exit-empty off\nset -g status off\nset -s escape-time 0\n";
    std::string arguments = "-f " + shellQuoted((pane.folder / "tmux.conf").string()) + " new-session -d -s game -x " +
                            std::to_string(launch.columns) + " -y " + std::to_string(launch.rows) + " -c " +
                            shellQuoted(launch.directory.string());
    for (const std::string& setting : launch.environment) arguments += " -e " + shellQuoted(setting);
    runTmux(pane, arguments + " " + shellQuoted(paneCommand(pane, launch)));
    std::ofstream(pane.folder / "output").flush();
    runTmux(pane, "pipe-pane -t game " + shellQuoted("exec cat >> " + shellQuoted((pane.folder / "output").string())));
    runTmux(pane, "wait-for -S go");
    return pane;
}

void stopPane(TmuxPane& pane)
{
    runTmux(pane, "kill-server");
    std::error_code ignored;
    std::filesystem::remove_all(pane.folder, ignored);
}

void typeText(const TmuxPane& pane, const std::string& text)
{
    runTmux(pane, "send-keys -t game -l " + shellQuoted(text));
}

void pressKey(const TmuxPane& pane, const std::string& keyName)
{
    runTmux(pane, "send-keys -t game " + shellQuoted(keyName));
}

void resizePane(const TmuxPane& pane, int columns, int rows)
{
    runTmux(pane, "resize-window -t game -x " + std::to_string(columns) + " -y " + std::to_string(rows));
}

Screen captureScreen(const TmuxPane& pane)
{
    Screen rows;
    std::istringstream text(tmuxOutput(pane, "capture-pane -p -N -t game"));
    for (std::string row; std::getline(text, row);) rows.push_back(row);
    return rows;
}

std::string screenText(const Screen& screen)
{
    std::string all;
    for (const std::string& row : screen) all += row + "|\n";
    return all;
}

std::string textAt(const Screen& screen, int column, int row, std::size_t length)
{
    if (row < 1 || static_cast<std::size_t>(row) > screen.size() || column < 1) return {};
    // tmux leaves off a row's trailing blanks.
    std::string line = screen[static_cast<std::size_t>(row - 1)] + std::string(column - 1 + length, ' ');
    return line.substr(static_cast<std::size_t>(column - 1), length);
}

std::string paneOutput(const TmuxPane& pane, std::size_t from)
{
    std::ifstream file(pane.folder / "output", std::ios::binary);
    file.seekg(static_cast<std::streamoff>(from));
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool waitForTextAt(const TmuxPane& pane, int column, int row, const std::string& text,
                   std::chrono::milliseconds limit)
{
    return pollUntil(pane, limit, [&] { return textAt(captureScreen(pane), column, row, text.size()) == text; });
}

std::optional<std::size_t> waitForOutput(const TmuxPane& pane, const std::string& text, std::size_t from,
                                         std::chrono::milliseconds limit)
{
    std::size_t found = std::string::npos;
    if (!pollUntil(pane, limit, [&] { return (found = paneOutput(pane, from).find(text)) != std::string::npos; })) {
        return std::nullopt;
    }
    return from + found + text.size();
}

std::optional<int> waitForExit(const TmuxPane& pane, std::chrono::milliseconds limit)
{
    int status = 0;
    if (!pollUntil(pane, limit, [&] { return static_cast<bool>(std::ifstream(pane.folder / "status") >> status); })) {
        return std::nullopt;
    }
    return status;
}
