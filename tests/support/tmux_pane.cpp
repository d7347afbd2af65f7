#include "tests/support/tmux_pane.h"

#include <signal.h>
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

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
    return "tmux -S " + shellQuoted(pane.socket.string()) + " " + arguments;
}

int runTmux(const TmuxPane& pane, const std::string& arguments)
{
    return std::system((tmuxCommand(pane, arguments) + " >/dev/null 2>&1").c_str());
}

std::string tmuxOutput(const TmuxPane& pane, const std::string& arguments)
{
    std::string output;
    FILE* pipe = popen((tmuxCommand(pane, arguments) + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, count);
    pclose(pipe);
    return output;
}

void writeSettings(const std::filesystem::path& path)
{
    // The pane stays after the program ends, blank, so its last screen can
    // be read; without exit-empty off the server can quit between commands.
    std::ofstream(path) << "set -g remain-on-exit on\n"
                           "set -g remain-on-exit-format \"\"\n"
                           "set -g exit-empty off\n"
                           "set -g status off\n"
                           "set -s escape-time 0\n";
}

// The pane's shell waits for the go signal, sent once the output is piped
// to its file, so not a byte of the program's output is missed.
std::string paneCommand(const TmuxPane& pane, const PaneLaunch& launch)
{
    std::string gate = tmuxCommand(pane, "wait-for go") + "; ";
    if (!launch.recordStatus) return gate + "exec " + launch.command;
    // tmux's own record of a pane's status comes back empty now and then, so
    // the shell around the program writes it, in one rename.
    std::string status = shellQuoted(pane.statusFile.string());
    std::string partial = shellQuoted(pane.statusFile.string() + ".new");
    return gate + launch.command + "\necho $? > " + partial + "; mv " + partial + " " + status;
}

template <typename Found>
bool pollUntil(const TmuxPane& pane, std::chrono::milliseconds limit, Found found)
{
    Clock::time_point giveUp = Clock::now() + limit;
    for (;;) {
        if (found()) return true;
        if (Clock::now() > giveUp) return false;
        std::this_thread::sleep_for(pane.pollInterval);
    }
}

}  // namespace

TmuxPane startPane(const PaneLaunch& launch)
{
    TmuxPane pane;
    std::string pattern = (std::filesystem::temp_directory_path() / "hkh-tmux-XXXXXX").string();
    pane.folder = mkdtemp(pattern.data());
    pane.socket = pane.folder / "socket";
    pane.outputFile = pane.folder / "output";
    pane.statusFile = pane.folder / "exit-status";
    std::filesystem::path settings = pane.folder / "tmux.conf";
    writeSettings(settings);
    std::string arguments = "-f " + shellQuoted(settings.string()) + " new-session -d -s game -x " +
                            std::to_string(launch.columns) + " -y " + std::to_string(launch.rows) + " -c " +
                            shellQuoted(launch.directory.string());
    for (const std::string& setting : launch.environment) arguments += " -e " + shellQuoted(setting);
    runTmux(pane, arguments + " " + shellQuoted(paneCommand(pane, launch)));
    std::ofstream(pane.outputFile).flush();
    runTmux(pane, "pipe-pane -t game " + shellQuoted("exec cat >> " + shellQuoted(pane.outputFile.string())));
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
    // send-keys -l types text literally, but a carriage return must go as Enter.
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t enter = text.find('\r', start);
        std::string part = text.substr(start, enter == std::string::npos ? std::string::npos : enter - start);
        if (!part.empty()) runTmux(pane, "send-keys -t game -l " + shellQuoted(part));
        if (enter == std::string::npos) break;
        pressKey(pane, "Enter");
        start = enter + 1;
    }
}

void pressKey(const TmuxPane& pane, const std::string& keyName)
{
    runTmux(pane, "send-keys -t game " + shellQuoted(keyName));
}

void resizePane(const TmuxPane& pane, int columns, int rows)
{
    runTmux(pane, "resize-window -t game -x " + std::to_string(columns) + " -y " + std::to_string(rows));
}

void killPane(const TmuxPane& pane) { runTmux(pane, "kill-pane -t game"); }

int paneProcessId(const TmuxPane& pane)
{
    return std::atoi(tmuxOutput(pane, "display-message -p -t game '#{pane_pid}'").c_str());
}

bool processAlive(int processId) { return processId > 0 && kill(processId, 0) == 0; }

Screen captureScreen(const TmuxPane& pane)
{
    std::string width = tmuxOutput(pane, "display-message -p -t game '#{pane_width}'");
    std::size_t columns = static_cast<std::size_t>(std::max(1, std::atoi(width.c_str())));
    Screen rows;
    std::istringstream text(tmuxOutput(pane, "capture-pane -p -N -t game"));
    std::string row;
    while (std::getline(text, row)) {
        if (row.size() < columns) row.append(columns - row.size(), ' ');
        rows.push_back(row);
    }
    return rows;
}

std::string screenText(const Screen& screen)
{
    std::string all;
    for (const std::string& row : screen) all += row + "|\n";
    return all;
}

std::string rowText(const Screen& screen, int row)
{
    if (row < 1 || static_cast<std::size_t>(row) > screen.size()) return {};
    return screen[static_cast<std::size_t>(row - 1)];
}

std::string textAt(const Screen& screen, int column, int row, std::size_t length)
{
    std::string line = rowText(screen, row);
    if (column < 1 || static_cast<std::size_t>(column - 1) >= line.size()) return {};
    return line.substr(static_cast<std::size_t>(column - 1), length);
}

std::string paneOutput(const TmuxPane& pane, std::size_t from)
{
    std::ifstream file(pane.outputFile, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(from));
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool waitForTextAt(const TmuxPane& pane, int column, int row, const std::string& text,
                   std::chrono::milliseconds limit)
{
    return pollUntil(pane, limit, [&] { return textAt(captureScreen(pane), column, row, text.size()) == text; });
}

bool waitForText(const TmuxPane& pane, const std::string& text, std::chrono::milliseconds limit)
{
    return pollUntil(pane, limit, [&] {
        for (const std::string& row : captureScreen(pane)) {
            if (row.find(text) != std::string::npos) return true;
        }
        return false;
    });
}

std::optional<std::size_t> waitForOutput(const TmuxPane& pane, const std::string& text, std::size_t from,
                                         std::chrono::milliseconds limit)
{
    std::size_t found = std::string::npos;
    pollUntil(pane, limit, [&] {
        found = paneOutput(pane, from).find(text);
        return found != std::string::npos;
    });
    if (found == std::string::npos) return std::nullopt;
    return from + found + text.size();
}

std::optional<int> waitForExit(const TmuxPane& pane, std::chrono::milliseconds limit)
{
    int status = 0;
    bool ended = pollUntil(pane, limit, [&] {
        std::ifstream file(pane.statusFile);
        return static_cast<bool>(file >> status);
    });
    if (!ended) return std::nullopt;
    return status;
}

bool waitForProcessEnd(int processId, std::chrono::milliseconds limit)
{
    TmuxPane timing;
    return pollUntil(timing, limit, [&] { return !processAlive(processId); });
}
