// The test double of the console layer: the POSIX console's screen model, so
// the screen is what a terminal shows, a scripted queue of typed keys, the
// sounds played in order and the pauses summed on a virtual clock, so tests
// never sleep.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "console/key.h"
#include "console/screen_model.h"

// Which kind of read the game is about to make.
enum class ReadKind { key, line };

// One thing the player hears or waits through, in the order it happened.
struct HeardOrWaited {
    std::string sound;      // the path played, or empty for a pause
    int milliseconds = 0;   // the pause's length
};

// The screen (cells, cursor, scrolls) is the model's.
struct TestConsole : ScreenModel {
    std::deque<Key> typed;           // keys still to be read
    std::vector<HeardOrWaited> timeline;
    long long clockMilliseconds = 0;
    int cursorRefusals = 0;          // setCursor calls outside the screen
    int linesRead = 0;
    std::vector<std::size_t> lineLimits;  // the limit of every readLine, in order
    // Called at the start of every readKey and readLine, so a test can look at
    // the screen at each step of play; none by default.
    void (*beforeRead)(ReadKind) = nullptr;
};

// Thrown by endProgram: the game ended the process with this status.
struct ProgramEnded {
    int status;
};

// Thrown when the game asks for a key and the script has none left.
struct ScriptExhausted {};

// The one double, reset for every test; std::cout writes onto its screen.
TestConsole& testConsole();
void resetTestConsole();

// Scripting what the player types.
void typeKeys(const std::string& keys);   // each character one key
void typeCode(int code);                  // one raw code (27, 3, 13...)
void typeTwoCodeKey(int prefix, int scan);  // an arrow: typeTwoCodeKey(224, 72)
void typeLine(const std::string& line);   // the characters, then Enter

// Reading what the player sees: row is counted from 1; the text is the whole
// 80-column row, or `length` cells from `column`: whole UTF-8 characters with
// their combining marks, a wide character taking two cells.
std::string screenRow(int row);
std::string screenText(int column, int row, std::size_t length);
std::string trimmedRow(int row);          // the row without trailing spaces
std::string wholeScreen();                // all rows, trimmed, joined with '\n'

// Reading what the player hears and waits.
std::vector<std::string> soundsPlayed();
std::vector<int> pausesTaken();
