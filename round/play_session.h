// The game proper: rounds one after another until the player quits.
#pragma once

#include "round/round_state.h"

// Never returns: the session ends through the summary and farewell screens.
[[noreturn]] void playSession();

// Escape at a letter or menu prompt: the totals of the closed rounds only.
[[noreturn]] void leaveSession(const SessionState& session);
