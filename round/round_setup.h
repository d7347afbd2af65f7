#pragma once

#include "round/round_state.h"

// Draws the phrase into a fresh round and draws the round screen: the
// greeting on the message row and the first letters of the phrase on the
// phrase row.
void setUpRound(RoundState& round);
