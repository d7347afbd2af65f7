// bench_pane_play: the tests' tmux helper (tests/support/tmux_pane.h) as the
// benchmark needs it. Keys go in through one tmux client kept attached in
// control mode: a key's time is then the moment it goes to tmux, not before a
// shell and a tmux client start for it (8 to 25 ms on a slow machine, all of
// it counted as the game's).
//
// Usage: bench_pane_play [--dir FOLDER] [--poll-ms N] -- COMMAND...
#include <cstdio>
#include <iostream>
#include <sstream>

#include "tests/support/golden_file.h"
#include "tests/support/tmux_pane.h"

namespace {

struct KeyClient {
    FILE* commands = nullptr;  // the control client's input
};

bool controlClientAttached(const TmuxPane& pane)
{
    return runTmux(pane, "list-clients -F '#{client_control_mode}'").find('1') != std::string::npos;
}

KeyClient attachKeyClient(const TmuxPane& pane)
{
    KeyClient client{popen((tmuxCommand(pane, "-C attach-session -t game") + " >/dev/null 2>&1").c_str(), "w")};
    if (client.commands != nullptr) pollUntil(pane, defaultWait, [&] { return controlClientAttached(pane); });
    return client;
}

void detachKeyClient(KeyClient& client)
{
    if (client.commands == nullptr) return;
    pclose(client.commands);
    client.commands = nullptr;
}

// Literal text ("-l") or tmux key names, as one command to the control client.
void sendKeys(const KeyClient& client, const std::string& how, const std::string& keys)
{
    std::fputs(("send-keys -t game " + how + keys + "\n").c_str(), client.commands);
    std::fflush(client.commands);
}

void answer()
{
    std::cout << "ok " << std::chrono::steady_clock::now().time_since_epoch().count() << std::endl;
}

bool playStep(const TmuxPane& pane, const KeyClient& client, std::size_t& outputAtLastKey, const std::string& line)
{
    std::istringstream words(line);
    std::string step;
    words >> step;
    const std::string rest = line.substr(std::min(line.size(), step.size() + 1));
    if (step == "type" || step == "key") {
        outputAtLastKey = std::filesystem::file_size(pane.folder / "output");
        answer();
        sendKeys(client, step == "type" ? "-l " : "", step == "type" ? shellQuoted(rest) : rest);
        return true;
    }
    if (step == "output") {
        auto written = [&] { return readWholeFile(pane.folder / "output").find(rest, outputAtLastKey) != rest.npos; };
        if (!pollUntil(pane, defaultWait, written)) return false;
        answer();
        return true;
    }
    return step.empty() || step[0] == '#';
}

}  // namespace

int main(int argc, char** argv)
{
    PaneLaunch launch{.directory = std::filesystem::current_path(), .recordStatus = false};
    std::chrono::milliseconds poll{1};
    int at = 1;
    for (std::string option; at < argc && (option = argv[at]) != "--"; ++at) {
        if (at + 1 < argc && option == "--dir") launch.directory = argv[++at];
        else if (at + 1 < argc && option == "--poll-ms") poll = std::chrono::milliseconds(std::atoi(argv[++at]));
        else at = argc;
    }
    for (++at; at < argc; ++at) launch.command.append(launch.command.empty() ? "" : " ").append(argv[at]);
    if (launch.command.empty()) {
        std::cerr << "usage: bench_pane_play [--dir FOLDER] [--poll-ms N] -- COMMAND...\n";
        return 2;
    }
    // The command waits until the key client is attached, so attaching it
    // does not count in the command's start-up: the empty output of
    // `tmux wait-for` comes before the command ($TMUX names the pane's server).
    launch.command = "$(tmux wait-for key-client-attached) " + launch.command;
    TmuxPane pane = startPane(launch);
    pane.pollInterval = poll;
    KeyClient client = attachKeyClient(pane);
    runTmux(pane, "wait-for -S key-client-attached");
    std::size_t outputAtLastKey = 0;
    int status = client.commands == nullptr ? 1 : 0;
    for (std::string line; status == 0 && std::getline(std::cin, line);) {
        if (playStep(pane, client, outputAtLastKey, line)) continue;
        std::cout << "fail" << std::endl;
        std::cerr << "bench_pane_play: step failed: " << line << "\nthe screen was:\n" << captureText(pane);
        status = 1;
    }
    detachKeyClient(client);
    stopPane(pane);
    return status;
}
