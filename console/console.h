// The console and sound layer: everything the game does to the screen, the
// keyboard, the clock and the speaker goes through these free functions.
// Text itself is written with std::cout at the cursor; it is on screen by the
// next pause, sound or read. Only printable characters, line breaks ('\n',
// '\r') and backspace ('\b', one cell left) take effect; every other control
// byte or character that prints nothing is dropped, never sent to a terminal.
// A character takes one cell, two if it is wide (most emoji); writing past
// column 80 goes on at column 1 of the next row; past row 25 the screen
// scrolls up.
// One implementation per platform (POSIX terminal, Windows console) and a
// test double; the build picks one at link time.
#pragma once

#include <cstddef>
#include <string>

inline constexpr int screenColumns = 80;
inline constexpr int screenRows = 25;
inline constexpr int clearedColumns = 78;  // what clearLine blanks

inline constexpr int ctrlCKey = 3;
inline constexpr int backspaceKey = 8;
inline constexpr int enterKey = 13;
inline constexpr int escapeKey = 27;

// Prepares the console for the game; called once by main before the title.
// While the window is smaller than 80x25 (at the start or at any read), the
// console asks for room over the game's screen, keeps that screen and shows
// it again once there is room; Escape there ends the program with status 0,
// Ctrl-C as an interrupt does (see endProgram).
//
// How the program ends, on every console: through endProgram; by the end of
// input or a hangup, as endProgram(0); by Ctrl-C outside a key read, as an
// interrupt: the console restored, the process ended by SIGINT on POSIX
// (status 130 to a shell), by the console's break handling on Windows; the
// test double reports it as endProgram(130). Any other signal whose default
// ends the process also restores the terminal first and ends by that signal.
// A stop (SIGTSTP) restores the terminal; a continue sets it up again and
// shows the game's screen as it was.
void openConsole();

// Moves the cursor to (column, row), both counted from 1; (1, 1) is top-left.
void setCursor(int column, int row);

// Writes clearedColumns spaces from the cursor, with no line break, so a row
// cleared from column 1 keeps what columns 79 and 80 held.
void clearLine();

// Blanks the whole screen and homes the cursor to (1, 1).
void clearScreen();

// Waits the given number of milliseconds, never less; keys typed meanwhile
// stay queued.
void pause(int milliseconds);

// One key code, as the Windows console gives it: a character as typed,
// Escape 27, Ctrl-C 3, Enter 13 (keypad Enter too), Backspace 8; a key with no
// character comes as two codes on two calls, 0 or 224 and then its scan code.
// Every other control key (Ctrl-Z, Ctrl-\...) is a code like any other, and
// mouse reports are no keys. Keys typed earlier are returned first, oldest
// first.
int readKey();

// One edited line with echo, ended by Enter; at most `limit` bytes are taken,
// the line end is not stored. Only whole printable characters are taken (no
// control, no character that prints nothing); Backspace takes back the last
// character with its combining marks and all the cells it took. Ctrl-C ends
// the program as an interrupt (see openConsole).
std::string readLine(std::size_t limit);

// Plays a sound named like "data\\intr.wav" and returns when the player has
// heard its last frame, so the next sound or pause starts after it; a file
// that cannot be played gives the default sound instead. Keys typed meanwhile
// stay queued. With no sound to be heard (no device, no sound server) the
// call still takes the sound's length; a sound server that stops answering
// costs no call more than the sound's length and a second, and is left alone
// for a while. The test double records the path and takes no time.
void playSound(const std::string& path);

// Turns a game path written with backslashes ("lex\\agrp7") into one the
// platform opens.
std::string nativePath(const std::string& path);

// Ends the program with the given status, the console restored and the
// cursor on a fresh line under the game's text. It never waits on the sound:
// the sounds played before it have already been heard to their end.
[[noreturn]] void endProgram(int status);

// Folds a key code the way the prompts test letters: only 'A' to 'Z' change.
inline int foldKey(int code) { return (code >= 'A' && code <= 'Z') ? code - 'A' + 'a' : code; }
