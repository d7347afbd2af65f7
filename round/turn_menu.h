#pragma once

#include "round/round_state.h"

// The menu after each letter: Guess, Review or Pass. A review ends in a guess
// or a pass, so the answer is 'g', 'p', or escapeKey to leave.
char chooseTurnAction(const RoundState& round);
