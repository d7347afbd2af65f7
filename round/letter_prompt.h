#pragma once

#include "round/round_state.h"

// The round's first letter, folded to lower case, or escapeKey to leave.
char readFirstLetter();

// A later letter, or escapeKey to leave; here "?" also shows the letters
// played so far on the letter log row.
char readNextLetter(const SessionState& session);
