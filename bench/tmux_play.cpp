// The tmux helper from the benchmark (bench.py) or a shell script: starts a command in
// a private 80x25 tmux pane and plays the steps read from standard input, one
// a line, answering each with "ok <steady clock ns>" when it is done (for a
// key, just before it is sent; for a wait, when the text was seen). The first
// step that fails prints the screen to standard error and ends with status 1;
// the end of the steps ends the server.
//
// Usage: tmux_play [--dir FOLDER] [--env NAME=VALUE]... [--poll-ms N] [--no-status] -- COMMAND...
// Steps:
//   type TEXT           the rest of the line, typed as it stands
//   key NAME...         keys by their tmux names (Enter, Escape, C-c, Up)
//   at COLUMN ROW TEXT  wait until TEXT stands at (COLUMN, ROW), counted from 1
//   output TEXT         wait until the command writes TEXT after the last key
#include <iostream>
#include <sstream>

#include "tests/support/golden_file.h"
#include "tests/support/tmux_pane.h"

namespace {

bool answered(bool done)
{
    if (done) std::cout << "ok " << std::chrono::steady_clock::now().time_since_epoch().count() << std::endl;
    return done;
}

bool playStep(const TmuxPane& pane, std::size_t& outputAtLastKey, const std::string& line)
{
    std::istringstream words(line);
    std::string step;
    int column = 0;
    int row = 0;
    words >> step;
    const std::string rest = line.substr(std::min(line.size(), step.size() + 1));  // after the one space
    if (step == "type" || step == "key") {
        outputAtLastKey = std::filesystem::file_size(pane.folder / "output");
        answered(true);
        if (step == "type") typeText(pane, rest);
        for (std::string name; step == "key" && words >> name;) pressKey(pane, name);
        return true;
    }
    if (step == "at" && words >> column >> row) {
        return answered(waitForTextAt(pane, column, row, rest.substr(rest.find(' ', rest.find(' ') + 1) + 1)));
    }
    if (step == "output") {
        auto written = [&] { return readWholeFile(pane.folder / "output").find(rest, outputAtLastKey) != rest.npos; };
        return answered(pollUntil(pane, defaultWait, written));
    }
    return step.empty() || step[0] == '#';
}

}  // namespace

int main(int argc, char** argv)
{
    PaneLaunch launch{.directory = std::filesystem::current_path()};
    std::chrono::milliseconds poll{40};
    int at = 1;
    for (std::string option; at < argc && (option = argv[at]) != "--"; ++at) {
        if (option == "--no-status") launch.recordStatus = false;
        else if (at + 1 < argc && option == "--dir") launch.directory = argv[++at];
        else if (at + 1 < argc && option == "--env") launch.environment.push_back(argv[++at]);
        else if (at + 1 < argc && option == "--poll-ms") poll = std::chrono::milliseconds(std::atoi(argv[++at]));
        else at = argc;  // not an option: the usage below
    }
    for (++at; at < argc; ++at) launch.command.append(launch.command.empty() ? "" : " ").append(argv[at]);
    if (launch.command.empty()) {
        std::cerr << "usage: tmux_play [--dir FOLDER] [--env NAME=VALUE]... [--poll-ms N] [--no-status]"
                     " -- COMMAND...\n";
        return 2;
    }
    TmuxPane pane = startPane(launch);
    pane.pollInterval = poll;
    std::size_t outputAtLastKey = 0;
    int status = 0;
    for (std::string line; status == 0 && std::getline(std::cin, line);) {
        if (playStep(pane, outputAtLastKey, line)) continue;
        std::cout << "fail" << std::endl;
        std::cerr << "tmux_play: step failed: " << line << "\nthe screen was:\n" << captureText(pane);
        status = 1;
    }
    stopPane(pane);
    return status;
}
