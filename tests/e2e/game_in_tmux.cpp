#include "tests/e2e/game_in_tmux.h"

#include <signal.h>
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds pollInterval{15};

// Single quotes for the shell; every path here is ours, but a quote in one
// must not break the command.
std::string shellQuoted(const std::string& text)
{
    std::string result = "'";
    for (char character : text) {
        if (character == '\'') {
            result += "'\\''";
        } else {
            result += character;
        }
    }
    return result + "'";
}

std::string tmuxCommand(const GameInTmux& game, const std::string& arguments)
{
    return "tmux -S " + shellQuoted(game.socket.string()) + " " + arguments;
}

int runTmux(const GameInTmux& game, const std::string& arguments)
{
    return std::system((tmuxCommand(game, arguments) + " >/dev/null 2>&1").c_str());
}

std::string tmuxOutput(const GameInTmux& game, const std::string& arguments)
{
    std::string output;
    FILE* pipe = popen((tmuxCommand(game, arguments) + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, count);
    pclose(pipe);
    return output;
}

void writeTmuxConfiguration(const std::filesystem::path& path)
{
    // The pane stays after the game ends, blank, so its last screen can be
    // read; without exit-empty off the server can quit between two commands.
    std::ofstream(path) << "set -g remain-on-exit on\n"
                           "set -g remain-on-exit-format \"\"\n"
                           "set -g exit-empty off\n"
                           "set -g status off\n"
                           "set -s escape-time 0\n";
}

std::string gameCommand(const GameInTmux& game, const GameLaunch& launch)
{
    std::string run = shellQuoted(HKH_GAME_BINARY);
    if (!launch.stdinRedirect.empty()) run += " " + launch.stdinRedirect;
    if (!launch.wrapForStatus) return "exec " + run;
    // tmux's own record of a pane's status comes back empty now and then, so
    // the shell around the game writes it, in one rename.
    std::string status = shellQuoted(game.statusFile.string());
    std::string partial = shellQuoted(game.statusFile.string() + ".new");
    return run + "; echo $? > " + partial + "; mv " + partial + " " + status;
}

}  // namespace

GameInTmux prepareGame()
{
    GameInTmux game;
    std::string pattern = (std::filesystem::temp_directory_path() / "hkh-e2e-XXXXXX").string();
    game.scratch = mkdtemp(pattern.data());
    game.socket = game.scratch / "tmux.socket";
    game.statusFile = game.scratch / "exit-status";
    std::filesystem::create_directory(game.scratch / "lex");
    std::filesystem::copy(std::filesystem::path(HKH_SOURCE_DIR) / "data", game.scratch / "data");
    return game;
}

void writeUniformLexicon(const GameInTmux& game, const std::string& adjective, const std::string& noun,
                         const std::string& verb)
{
    auto writeFamily = [&](const std::string& prefix, int files, const std::string& word) {
        std::string content;
        for (int line = 0; line < 200; ++line) content += word + "\n";
        for (int file = 0; file < files; ++file) {
            std::ofstream(game.scratch / "lex" / (prefix + std::to_string(file))) << content;
        }
    };
    writeFamily("agrp", 33, adjective);
    writeFamily("ngrp", 33, noun);
    writeFamily("vgrp", 23, verb);
}

void startGame(GameInTmux& game, const GameLaunch& launch)
{
    std::filesystem::path configuration = game.scratch / "tmux.conf";
    writeTmuxConfiguration(configuration);
    std::string arguments = "-f ";
    arguments += shellQuoted(configuration.string()) + " new-session -d -s game -x " +
                 std::to_string(launch.columns) + " -y " + std::to_string(launch.rows) + " -c " +
                 shellQuoted(game.scratch.string());
    for (const std::string& setting : launch.environment) arguments.append(" -e ").append(shellQuoted(setting));
    arguments.append(" ").append(shellQuoted(gameCommand(game, launch)));
    runTmux(game, arguments);
}

void closeGame(GameInTmux& game)
{
    runTmux(game, "kill-server");
    std::error_code ignored;
    std::filesystem::remove_all(game.scratch, ignored);
}

void typeText(const GameInTmux& game, const std::string& text)
{
    // send-keys -l types text literally, but a carriage return must go as Enter.
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t enter = text.find('\r', start);
        std::string part = text.substr(start, enter == std::string::npos ? std::string::npos : enter - start);
        if (!part.empty()) runTmux(game, "send-keys -t game -l " + shellQuoted(part));
        if (enter == std::string::npos) break;
        pressKey(game, "Enter");
        start = enter + 1;
    }
}

void pressKey(const GameInTmux& game, const std::string& keyName)
{
    runTmux(game, "send-keys -t game " + shellQuoted(keyName));
}

void resizeWindow(const GameInTmux& game, int columns, int rows)
{
    runTmux(game, "resize-window -t game -x " + std::to_string(columns) + " -y " + std::to_string(rows));
}

void killPane(const GameInTmux& game) { runTmux(game, "kill-pane -t game"); }

int paneProcessId(const GameInTmux& game)
{
    std::string output = tmuxOutput(game, "display-message -p -t game '#{pane_pid}'");
    return std::atoi(output.c_str());
}

std::vector<std::string> captureScreen(const GameInTmux& game)
{
    std::string width = tmuxOutput(game, "display-message -p -t game '#{pane_width}'");
    std::size_t columns = static_cast<std::size_t>(std::max(1, std::atoi(width.c_str())));
    std::vector<std::string> rows;
    std::istringstream text(tmuxOutput(game, "capture-pane -p -N -t game"));
    std::string row;
    while (std::getline(text, row)) {
        if (row.size() < columns) row.append(columns - row.size(), ' ');
        rows.push_back(row);
    }
    return rows;
}

std::string screenText(const GameInTmux& game)
{
    std::string all;
    for (const std::string& row : captureScreen(game)) all += row + "|\n";
    return all;
}

std::string rowText(const std::vector<std::string>& screen, int row)
{
    if (row < 1 || static_cast<std::size_t>(row) > screen.size()) return {};
    return screen[static_cast<std::size_t>(row - 1)];
}

std::string textAt(const std::vector<std::string>& screen, int column, int row, std::size_t length)
{
    std::string line = rowText(screen, row);
    if (column < 1 || static_cast<std::size_t>(column - 1) >= line.size()) return {};
    return line.substr(static_cast<std::size_t>(column - 1), length);
}

bool waitForTextAt(const GameInTmux& game, int column, int row, const std::string& text,
                   std::chrono::milliseconds limit)
{
    Clock::time_point giveUp = Clock::now() + limit;
    for (;;) {
        if (textAt(captureScreen(game), column, row, text.size()) == text) return true;
        if (Clock::now() > giveUp) return false;
        std::this_thread::sleep_for(pollInterval);
    }
}

bool waitForText(const GameInTmux& game, const std::string& text, std::chrono::milliseconds limit)
{
    Clock::time_point giveUp = Clock::now() + limit;
    for (;;) {
        for (const std::string& row : captureScreen(game)) {
            if (row.find(text) != std::string::npos) return true;
        }
        if (Clock::now() > giveUp) return false;
        std::this_thread::sleep_for(pollInterval);
    }
}

std::optional<int> waitForExit(const GameInTmux& game, std::chrono::milliseconds limit)
{
    Clock::time_point giveUp = Clock::now() + limit;
    for (;;) {
        std::ifstream file(game.statusFile);
        int status = 0;
        if (file >> status) return status;
        if (Clock::now() > giveUp) return std::nullopt;
        std::this_thread::sleep_for(pollInterval);
    }
}

bool processAlive(int processId) { return processId > 0 && kill(processId, 0) == 0; }
