#pragma once

#include "round/round_state.h"

// Logs the letter, reveals every position it holds after each word's first
// letter, plays a tone per position (eight at most) and writes the count on
// row 1 and the shown phrase on row 23.
void playLetter(SessionState& session, RoundState& round, char letter);
