// The clock of the POSIX console: a pause waits its whole length, never less,
// and keys typed meanwhile stay queued for the next read.
#include <chrono>
#include <iostream>
#include <utility>

#include "console/console.h"
#include "console/posix_console.h"
#include "console/posix_keyboard.h"

// The time the screen's last updates were kept apart counts as part of it.
void pause(int milliseconds)
{
    std::cout.flush();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds) -
                          std::exchange(posixConsole().waitedAhead, {});
    if (milliseconds <= 0) return;
    sleepTakingKeys(deadline);
}
