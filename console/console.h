// The console and sound layer: everything the game does to the screen, the
// keyboard, the clock and the speaker goes through these free functions.
// Text itself is written with std::cout at the cursor.
// One implementation per platform (POSIX terminal, Windows console) and a
// test double; the build picks one at link time.
#pragma once

#include <cstddef>
#include <string>

inline constexpr int screenColumns = 80;
inline constexpr int screenRows = 25;

inline constexpr int ctrlCKey = 3;
inline constexpr int backspaceKey = 8;
inline constexpr int enterKey = 13;
inline constexpr int escapeKey = 27;

// Prepares the console for the game; called once by main before the title.
void openConsole();

// Moves the cursor to (column, row), both counted from 1; (1, 1) is top-left.
void setCursor(int column, int row);

// Writes 78 spaces from the cursor, with no line break; columns 79 and 80 keep
// what they held.
void clearLine();

// Blanks the whole screen and homes the cursor to (1, 1).
void clearScreen();

// Waits the given number of milliseconds, never less; keys typed meanwhile
// stay queued.
void pause(int milliseconds);

// One key code, as the Windows console gives it: a character as typed,
// Escape 27, Ctrl-C 3, Enter 13, Backspace 8; a key with no character comes
// as two codes on two calls, 0 or 224 and then its scan code.
// Keys typed earlier are returned first, oldest first.
int readKey();

// One edited line with echo, ended by Enter; at most `limit` bytes are taken,
// the line end is not stored.
std::string readLine(std::size_t limit);

// Plays a sound named like "data\\intr.wav" and returns when it has ended; a
// file that cannot be played gives the default sound instead.
void playSound(const std::string& path);

// Turns a game path written with backslashes ("lex\\agrp7") into one the
// platform opens.
std::string nativePath(const std::string& path);

// Ends the program with the given status, the console restored.
[[noreturn]] void endProgram(int status);

// Folds a key code the way the prompts test letters: only 'A' to 'Z' change.
inline int foldKey(int code) { return (code >= 'A' && code <= 'Z') ? code - 'A' + 'a' : code; }
