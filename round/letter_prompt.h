#pragma once

#include "round/round_state.h"

// The round's first letter, folded to lower case; Escape leaves the session.
char readFirstLetter(const SessionState& session);

// A later letter; here "?" also shows the letters played so far on row 21.
char readNextLetter(const SessionState& session);
