// What every screen shares: named positions, the prompt row where each
// screen asks its questions, blanking a row before writing on it, asking for
// a key, and the way every closing screen ends the program.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "console/console.h"

struct ScreenPosition {
    int column;  // counted from 1, as setCursor counts
    int row;
};

inline void setCursor(ScreenPosition position) { setCursor(position.column, position.row); }

inline constexpr int promptRow = 22;

// Clears the row from column 1 as clearLine does and leaves the cursor at its start.
void blankRow(int row);

// Blanks the prompt row, waits and writes the prompt; the caller then reads
// the answer.
void writePrompt(const std::string& text, int pauseMilliseconds = 500);

// Writes the prompt and reads a key, folded to lower case; a key the question
// does not accept writes the prompt again and reads another. Returns the
// accepted key.
char askForKey(const std::function<void()>& writePrompt, const std::function<bool(int)>& accepts);

// Writes the prompt on the prompt row, waits for Escape (every other key is
// read and ignored), plays the sounds in order and ends the program with
// status 0.
[[noreturn]] void closeGame(const char* prompt, std::initializer_list<const char*> sounds);
