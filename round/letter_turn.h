#pragma once

#include "round/round_state.h"

// Logs the letter, reveals every position it holds after each word's first
// letter, plays a tone per position (eight at most) and writes the count on
// the message row and the shown phrase on the phrase row.
void playLetter(SessionState& session, RoundState& round, char letter);
