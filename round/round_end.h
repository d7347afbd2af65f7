#pragma once

#include "round/round_state.h"

// The loss screen if the points ran out, then the play-again prompt; the
// round counts in the totals once it is answered. Returns whether the player
// chose to play again.
bool closeRound(SessionState& session, RoundState& round);
