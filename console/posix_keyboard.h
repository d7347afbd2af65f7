// The keyboard of the POSIX console: every byte typed goes into one queue and
// through the key decoder, so keys typed during pauses, sounds and drawing
// come out later in the order typed.
#pragma once

#include <signal.h>

#include <chrono>

#include "console/key.h"

using SteadyTime = std::chrono::steady_clock::time_point;

// Sleeps until the deadline, taking in what is typed meanwhile.
void sleepTakingKeys(SteadyTime deadline);

// The next key typed, waiting with this signal mask in force; false when a
// signal cut the wait short.
bool waitForKeyOrSignal(Key& key, const sigset_t& waitMask);
