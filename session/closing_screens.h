// The screens by which the program ends. Each waits for Escape, plays its
// closing sounds and ends the process with status 0; none returns.
#pragma once

// Leaving before any game: from the title screen or the instructions.
[[noreturn]] void quitEarly();

// Leaving after rounds: the totals, then the farewell.
[[noreturn]] void showSessionSummary(int gamesPlayed, int sessionPoints);
