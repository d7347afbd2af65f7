// The game's 80x25 screen as a terminal shows it, and the bytes that make a
// terminal show the same. The POSIX console draws from it (and draws it again
// whole after a stop or a resize); the test double reads its screen from it.
// Only printable characters and the model's own cursor moves and erases ever
// reach the bytes, never a control byte from the text.
#pragma once

#include <array>
#include <streambuf>
#include <string>

#include "console/console.h"
#include "console/text_width.h"

// A cell holds one character with its combining marks, " " when blank, and
// "" as the right half of a wide one.
using ScreenRow = std::array<std::string, screenColumns>;

struct ScreenModel {
    std::array<ScreenRow, screenRows> cells;
    int column = 1;  // 1 to 80, or 81 when the next character goes to the next row
    int row = 1;
    Utf8Assembler utf8;       // the character being written
    int scrolls = 0;          // times the screen scrolled up
    std::string output;       // for the terminal, since the last takeOutput
    bool cursorDue = false;   // the terminal's cursor is not yet where column and row say
};

// All cells blank and the cursor home; the terminal is erased.
void blankScreen(ScreenModel& screen);

// The cursor to (column, row); false, and nothing moved, off the screen. The
// terminal's cursor follows before the next text or at takeOutput.
bool moveCursor(ScreenModel& screen, int column, int row);

// One byte of text at the cursor: characters wrap past column 80 and scroll
// past row 25; '\n', '\r' and '\b' move the cursor; other controls are dropped.
void writeByte(ScreenModel& screen, unsigned char byte);

// `count` blank cells from the cursor, as that many spaces would leave them
// (cursor included); a run that ends the row's text is erased, not sent as
// spaces, so no reader hears a row of spaces.
void blankCells(ScreenModel& screen, int count);

// The bytes due to the terminal, the cursor put where the game left it unless
// `withCursor` is false (a screen reader may read the row a lone cursor move
// lands on).
std::string takeOutput(ScreenModel& screen, bool withCursor = true);

// The whole screen drawn again from the cells, the cursor where the game left it.
std::string drawAgain(const ScreenModel& screen);

// The characters of `count` cells of a row from `column` (a wide character's
// right half adds nothing).
std::string cellText(const ScreenModel& screen, int row, int column = 1, int count = screenColumns);

// The first row under the last one that shows anything (1 on a blank screen).
int rowBelowText(const ScreenModel& screen);

// The one stream buffer through which std::cout writes into `screen`; a flush
// of std::cout calls `flush`. Never destroyed: std::cout may still flush into
// it while the program exits.
std::streambuf& screenStream(ScreenModel& screen, void (*flush)());
