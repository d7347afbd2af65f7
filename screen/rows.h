// The rows every screen writes the same way: the prompt row, where each
// screen asks its questions, and blanking a row before writing on it.
#pragma once

#include <string>

inline constexpr int promptRow = 22;

// Clears the row from column 1 as clearLine does and leaves the cursor at its start.
void blankRow(int row);

// Blanks the prompt row, waits and writes the prompt; the caller then reads
// the answer.
void writePrompt(const std::string& text, int pauseMilliseconds = 500);
