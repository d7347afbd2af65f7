// How every closing screen ends the program, once its own text is written.
#pragma once

#include <initializer_list>

// Writes the prompt on the prompt row, waits for Escape (every other key is
// read and ignored), plays the sounds in order and ends the program with
// status 0.
[[noreturn]] void closeGame(const char* prompt, std::initializer_list<const char*> sounds);
