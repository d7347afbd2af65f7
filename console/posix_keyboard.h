// The keyboard of the POSIX console: every byte typed goes into one queue and
// through the key decoder, so keys typed during pauses, sounds and drawing
// come out later in the order typed.
#pragma once

#include <chrono>

using SteadyTime = std::chrono::steady_clock::time_point;

// Sleeps until the deadline, taking in what is typed meanwhile. A stop, a
// resize or a hangup during the sleep is dealt with at once.
void sleepTakingKeys(SteadyTime deadline);
