// The rows of the round screen and the two ways every step writes on them.
#pragma once

#include <string>

inline constexpr int messageRow = 1;    // greeting, match message, remarks
inline constexpr int creditRow = 2;     // the word-credit message
inline constexpr int firstGuessRow = 3;  // guesses are listed from here down
inline constexpr int letterLogRow = 21;
inline constexpr int promptRow = 22;
inline constexpr int phraseRow = 23;
inline constexpr int pointsRow = 24;

// Blanks columns 1 to 78 of the row and leaves the cursor at its start.
void blankRow(int row);

// Blanks the prompt row, waits half a second and writes the prompt; the
// caller then reads the answer.
void writePrompt(const std::string& text);
