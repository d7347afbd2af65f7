// bench_long_session ROUNDS ROUND_KEYS
// Plays ROUNDS rounds on the test double, each with the keys ROUND_KEYS
// ("\r" is Enter; they must end with the play-again answer "p"), then leaves
// with Escape. The pauses pass on the double's virtual clock, so what is
// timed is the game's own work. Prints, tab-separated:
//   rounds N, wall_us_per_round, virtual_ms_per_round,
//   rss_kb_after_10, rss_kb_after_last, heap_after_10, heap_after_last
// (resident memory from /proc/self/statm, heap bytes in use from mallinfo2).
#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "console/console.h"
#include "console/console_double.h"
#include "lexicon/random_number.h"
#include "session/play_session.h"
#include "screen/player_name.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Memory {
    long residentKilobytes = 0;
    long long heapBytes = 0;
};

struct SessionRun {
    int roundsWanted = 0;
    std::string roundKeys;
    int roundsStarted = 0;
    Memory afterTen;
    Memory afterLast;
    Clock::time_point finished;
};

SessionRun run;

Memory measureMemory()
{
    Memory memory;
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    memory.residentKilobytes = resident * (sysconf(_SC_PAGESIZE) / 1024);
    memory.heapBytes = static_cast<long long>(mallinfo2().uordblks);
    return memory;
}

// Each time the script runs dry the game stands at a round's first letter:
// the rounds so far are over, so memory is measured there and the next
// round's keys are typed. The double's own records are dropped each round,
// so only the game's memory is measured.
void typeNextRound(ReadKind)
{
    TestConsole& console = testConsole();
    if (!console.typed.empty()) return;
    console.timeline.clear();
    console.lineLimits.clear();
    if (run.roundsStarted == 10) run.afterTen = measureMemory();
    if (run.roundsStarted == run.roundsWanted) {
        run.afterLast = measureMemory();
        run.finished = Clock::now();
        typeCode(escapeKey);
        typeCode(escapeKey);
        return;
    }
    typeKeys(run.roundKeys);
    ++run.roundsStarted;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: bench_long_session ROUNDS ROUND_KEYS\n";
        return 2;
    }
    run.roundsWanted = std::atoi(argv[1]);
    run.roundKeys = argv[2];
    if (run.roundsWanted < 10) return 2;
    std::ostream out(std::cout.rdbuf());
    resetTestConsole();
    playerName = "Ann";
    seedRandom(1);
    testConsole().beforeRead = typeNextRound;
    long long virtualMilliseconds = 0;
    Clock::time_point start = Clock::now();
    try {
        playSession();
    } catch (const ProgramEnded&) {
    } catch (const ScriptExhausted&) {
        std::cerr << "the script ran out\n";
        return 1;
    }
    virtualMilliseconds = testConsole().clockMilliseconds;
    double wallMicroseconds = std::chrono::duration<double, std::micro>(run.finished - start).count();
    out << "rounds\t" << run.roundsStarted << '\n'
        << "wall_us_per_round\t" << wallMicroseconds / run.roundsStarted << '\n'
        << "virtual_ms_per_round\t" << static_cast<double>(virtualMilliseconds) / run.roundsStarted << '\n'
        << "rss_kb_after_10\t" << run.afterTen.residentKilobytes << '\n'
        << "rss_kb_after_last\t" << run.afterLast.residentKilobytes << '\n'
        << "heap_after_10\t" << run.afterTen.heapBytes << '\n'
        << "heap_after_last\t" << run.afterLast.heapBytes << '\n';
    return 0;
}
