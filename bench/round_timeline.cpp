// bench_round_timeline KEYS
// Plays the title and rounds on the test double with KEYS typed ahead ("\r"
// is Enter, "\x1b" Escape) and prints, tab-separated, what the game plays and
// waits and where it reads, in order:
//   sound  PATH
//   pause  MILLISECONDS
//   read   key|line  PROMPT   (row 22 as the player sees it at that read)
//   end    STATUS|script
// so the benchmark knows each step's designed time and the prompt ending it.
#include <iostream>
#include <string>

#include "console/console.h"
#include "console/console_double.h"
#include "lexicon/random_number.h"
#include "session/play_session.h"
#include "session/title_screen.h"

namespace {

std::ostream* report = nullptr;
std::size_t reported = 0;  // timeline items already printed

void reportTimeline()
{
    const auto& timeline = testConsole().timeline;
    for (; reported < timeline.size(); ++reported) {
        const HeardOrWaited& item = timeline[reported];
        if (item.sound.empty()) {
            *report << "pause\t" << item.milliseconds << '\n';
        } else {
            *report << "sound\t" << item.sound << '\n';
        }
    }
}

std::string promptShown()
{
    std::string row = screenRow(22);
    std::size_t first = row.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return row.substr(first, row.find_last_not_of(' ') - first + 1);
}

void noteRead(ReadKind kind)
{
    reportTimeline();
    *report << "read\t" << (kind == ReadKind::key ? "key" : "line") << '\t' << promptShown() << '\n';
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: bench_round_timeline KEYS\n";
        return 2;
    }
    std::ostream out(std::cout.rdbuf());  // std::cout itself becomes the virtual screen
    report = &out;
    resetTestConsole();
    testConsole().beforeRead = noteRead;
    seedRandom(1);
    typeKeys(argv[1]);
    try {
        showTitle();
        playSession();
    } catch (const ScriptExhausted&) {
        reportTimeline();
        out << "end\tscript\n";
    } catch (const ProgramEnded& ended) {
        reportTimeline();
        out << "end\t" << ended.status << '\n';
    }
    return 0;
}
