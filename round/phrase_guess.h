#pragma once

#include "round/round_state.h"

enum class GuessOutcome {
    win,    // the phrase was right: the round is over
    lost,   // wrong, and the points have run out: the round is over
    wrong,  // wrong with points left: the turn goes on to the next letter
};

// Asks for the whole phrase until a line of three words comes, lists it,
// and judges it: the win screen, or 5 points less and word credit.
GuessOutcome guessPhrase(RoundState& round);
