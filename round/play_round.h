// One round: the phrase drawn, the turns played, the round closed.
#pragma once

#include "round/round_rules.h"

// Plays a round to its end and counts it in the session's totals once the
// player answers the play-again prompt. Returns whether the player plays
// another round: false after Q, or after Escape at a letter or menu prompt,
// which leaves at once and leaves the round out of the totals.
bool playRound(SessionState& session);
