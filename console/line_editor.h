// The line editor behind readLine: echoes what it takes, stops taking at its
// limit so what the player sees is what is stored, and keeps out every
// control and every other character that has no place on screen, so no
// terminal escape can enter a name or a guess. Backspace takes back a whole
// character, its combining marks with it, and all the cells it took.
#pragma once

#include <cstddef>
#include <string>

#include "console/key.h"
#include "console/text_width.h"

struct LineEditor {
    std::size_t limit = 0;
    std::string text;
    bool finished = false;     // Enter was pressed
    bool interrupted = false;  // Ctrl-C was pressed
    Utf8Assembler utf8;        // the character being typed
};

LineEditor startLine(std::size_t limit);

// Takes one key; returns the text to echo for it (possibly empty).
std::string editLine(LineEditor& editor, const Key& key);
