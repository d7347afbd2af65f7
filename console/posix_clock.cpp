// The clock of the POSIX console: a pause waits its whole length less what
// the turn is behind, and keys typed meanwhile stay queued for the next read.
#include <chrono>
#include <iostream>

#include "console/console.h"
#include "console/posix_console.h"
#include "console/posix_keyboard.h"

void pause(int milliseconds)
{
    std::cout.flush();
    if (milliseconds <= 0) return;
    GamePace& pace = posixConsole().pace;
    const auto length = std::chrono::milliseconds(milliseconds);
    const SteadyTime start = std::chrono::steady_clock::now();
    const SteadyTime deadline = start + length - pace.behind;
    sleepTakingKeys(deadline);
    countLateness(pace, start, std::chrono::steady_clock::now() - deadline);
    pace.pausedSinceSound += length;
}
