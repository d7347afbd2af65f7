// The clock of the POSIX console: a pause waits its whole length, never less,
// and keys typed meanwhile stay queued for the next read.
#include <chrono>
#include <iostream>

#include "console/console.h"
#include "console/posix_keyboard.h"

void pause(int milliseconds)
{
    std::cout.flush();
    if (milliseconds <= 0) return;
    sleepTakingKeys(std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds));
}
