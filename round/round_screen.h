// The rows of the round screen; the prompt row between the letter log and
// the phrase is every screen's (screen/rows.h).
#pragma once

#include "screen/rows.h"

inline constexpr int messageRow = 1;     // greeting, match message, remarks
inline constexpr int creditRow = 2;      // the word-credit message
inline constexpr int firstGuessRow = 3;  // guesses are listed from here down
inline constexpr int reviewClearedRow = 19;
inline constexpr int letterLogRow = 21;
inline constexpr int phraseRow = 23;
inline constexpr int pointsRow = 24;
