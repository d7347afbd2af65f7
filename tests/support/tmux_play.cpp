// The tmux helper from a shell script or another program: starts a command in
// a private tmux pane and plays the steps read from standard input, one a
// line, answering each with "ok <steady clock ns>" when it is done (for a
// key, just before it is sent; for a wait, when the text was seen). The first
// step that fails prints the screen to standard error and ends with status 1;
// the end of the steps ends the server.
//
// Usage: tmux_play [--size 80x25] [--dir FOLDER] [--env NAME=VALUE]...
//                  [--timeout SECONDS] [--poll-ms N] [--no-status] -- COMMAND...
// Steps:
//   type TEXT           the rest of the line, typed as it stands
//   key NAME...         keys by their tmux names (Enter, Escape, C-c, Up)
//   at COLUMN ROW TEXT  wait until TEXT stands at (COLUMN, ROW), counted from 1
//   see TEXT            wait until TEXT stands anywhere on the screen
//   output TEXT         wait until the command writes TEXT after the last key
//   exit STATUS         wait until the command ends with STATUS
//   resize COLUMNS ROWS
//   pid                 answers "ok <ns> <process id of the pane>"
//   close               close the pane, as a window closes
//   gone                wait until the process the last "pid" step named is gone
//   screen              print the screen
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "tests/support/tmux_pane.h"

namespace {

struct Player {
    TmuxPane pane;
    std::chrono::milliseconds limit{30000};
    std::size_t outputAtLastKey = 0;
    int processId = 0;
};

long long nowNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string restOf(std::istringstream& words)
{
    std::string rest;
    std::getline(words, rest);
    return rest.empty() ? rest : rest.substr(1);  // the one space after the step's name
}

void markKey(Player& player) { player.outputAtLastKey = paneOutput(player.pane).size(); }

bool playKeys(Player& player, const std::string& step, std::istringstream& words)
{
    markKey(player);
    std::cout << "ok " << nowNanoseconds() << std::endl;
    if (step == "type") {
        typeText(player.pane, restOf(words));
        return true;
    }
    for (std::string name; words >> name;) pressKey(player.pane, name);
    return true;
}

bool playWait(Player& player, const std::string& step, std::istringstream& words)
{
    bool done = false;
    if (step == "at") {
        int column = 0;
        int row = 0;
        words >> column >> row;
        done = waitForTextAt(player.pane, column, row, restOf(words), player.limit);
    } else if (step == "see") {
        done = waitForText(player.pane, restOf(words), player.limit);
    } else if (step == "output") {
        done = waitForOutput(player.pane, restOf(words), player.outputAtLastKey, player.limit).has_value();
    } else if (step == "exit") {
        int expected = 0;
        words >> expected;
        std::optional<int> status = waitForExit(player.pane, player.limit);
        if (status && *status != expected) std::cerr << "the command ended with status " << *status << "\n";
        done = status == expected;
    } else if (step == "gone") {
        done = waitForProcessEnd(player.processId, player.limit);
    }
    if (done) std::cout << "ok " << nowNanoseconds() << std::endl;
    return done;
}

bool playStep(Player& player, const std::string& line)
{
    std::istringstream words(line);
    std::string step;
    words >> step;
    if (step.empty() || step[0] == '#') return true;
    if (step == "type" || step == "key") return playKeys(player, step, words);
    if (step == "resize" || step == "pid" || step == "close" || step == "screen") {
        int columns = 0;
        int rows = 0;
        if (step == "resize" && words >> columns >> rows) resizePane(player.pane, columns, rows);
        if (step == "pid") player.processId = paneProcessId(player.pane);
        if (step == "close") killPane(player.pane);
        if (step == "screen") std::cout << screenText(captureScreen(player.pane));
        std::cout << "ok " << nowNanoseconds();
        if (step == "pid") std::cout << ' ' << player.processId;
        std::cout << std::endl;
        return true;
    }
    return playWait(player, step, words);
}

[[noreturn]] void usage(const std::string& problem)
{
    std::cerr << "tmux_play: " << problem
              << "\nusage: tmux_play [--size CxR] [--dir FOLDER] [--env NAME=VALUE]... [--timeout SECONDS]"
                 " [--poll-ms N] [--no-status] -- COMMAND...\n";
    std::exit(2);
}

PaneLaunch readArguments(int argc, char** argv, Player& player)
{
    PaneLaunch launch;
    launch.directory = std::filesystem::current_path();
    int at = 1;
    for (; at < argc && std::string(argv[at]) != "--"; ++at) {
        std::string option = argv[at];
        if (option == "--no-status") {
            launch.recordStatus = false;
            continue;
        }
        if (at + 1 >= argc) usage("no value for " + option);
        std::string value = argv[++at];
        if (option == "--size" && std::sscanf(value.c_str(), "%dx%d", &launch.columns, &launch.rows) == 2) continue;
        if (option == "--dir") launch.directory = value;
        else if (option == "--env") launch.environment.push_back(value);
        else if (option == "--timeout") player.limit = std::chrono::milliseconds(std::atoi(value.c_str()) * 1000);
        else if (option == "--poll-ms") player.pane.pollInterval = std::chrono::milliseconds(std::atoi(value.c_str()));
        else usage("unknown option " + option);
    }
    for (++at; at < argc; ++at) {
        if (!launch.command.empty()) launch.command += ' ';
        launch.command += argv[at];
    }
    if (launch.command.empty()) usage("no command");
    return launch;
}

}  // namespace

int main(int argc, char** argv)
{
    Player player;
    PaneLaunch launch = readArguments(argc, argv, player);
    std::chrono::milliseconds poll = player.pane.pollInterval;
    player.pane = startPane(launch);
    player.pane.pollInterval = poll;
    for (std::string line; std::getline(std::cin, line);) {
        if (playStep(player, line)) continue;
        std::cout << "fail" << std::endl;
        std::cerr << "tmux_play: step failed: " << line << "\nthe screen was:\n"
                  << screenText(captureScreen(player.pane));
        stopPane(player.pane);
        return 1;
    }
    stopPane(player.pane);
    return 0;
}
