#pragma once

#include "round/round_state.h"

// Draws the phrase into a fresh round and draws the round screen: the greeting on row 1 and the
// first letters of the phrase on row 23.
void setUpRound(RoundState& round);
