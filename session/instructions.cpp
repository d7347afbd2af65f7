// The instructions pager: two pages of rules, paged with C and B, left with R
// for the game or with Escape or Ctrl-C for the early-quit screen.
#include "session/title_screen.h"

#include <iostream>
#include <span>

#include "screen/screen.h"
#include "session/closing_screens.h"

namespace {

// The pager's screen: each page from the top-left corner, its prompt on the
// bottom row, and the game's name alone once the player goes back to it.
constexpr ScreenPosition pageTextAt{1, 1};
constexpr ScreenPosition pagePromptAt{1, 25};
constexpr ScreenPosition bareNameAt{31, 9};

// One row of a page as it is written from the cursor; two line breaks leave
// the next row empty.
struct PageLine {
    const char* text;
    int lineBreaks;
};

// Row 22 is exactly 80 characters: the line break after it must move to row
// 23 only, which it does on a terminal that wraps at the next character.
const PageLine firstPageLines[] = {
    {"Instructions for Happy Koalas Hum   by the Happy Koalas Hum team", 2},
    {"Happy Koalas Hum is a challenging word game for Windows in which you guess", 1},
    {"letters of the alphabet in order to solve the puzzle of a three word phrase", 1},
    {"consisting of an adjective followed by a plural noun followed by a verb.  The", 1},
    {"phrases may or may not make sense and some of them will be quite humorous,", 1},
    {"such as Happy Koalas Hum.", 2},
    {"You begin by being shown a phrase with  the first letter of each of the", 1},
    {"words revealed with  dashes for the remaining letters.  This appears on the", 1},
    {"line below the prompt line.  The prompt states guess a letter.  Simply press", 1},
    {"any letter in the alphabet without pressing Enter.  You will be informed of how", 1},
    {"many instances of that letter there are in the phrase and those letters will be", 1},
    {"revealed.  The prompt will then state guess, review, or pass, by pressing g, r,", 1},
    {"or p.  Press r for audio spelling of each word.  After pressing r, press", 1},
    {"the numbers 1, 2, or 3 on the top row to hear the first, second, and third", 1},
    {"words spelled.  You can press 4, 5, and 6 to hear the words spelled out with", 1},
    {"phonetics, such as alpha, bravo, charlie and so on.  The 1, 2, and 3", 1},
    {"are adequate for most people.  You can listen to the spelling as many times as", 1},
    {"you choose.  When ready to proceed, press g if you want to enter a guess", 1},
    {"for the phrase or press p if you would rather pass.  If you enter a guess, your", 1},
    {"entry must be accurately spelled with a space between the words in order to win.", 1},
};

const PageLine secondPageLines[] = {
    {"You get 100 points in the unlikely case that you guess correctly on the first", 1},
    {"attempt.  The points for each  guess are reduced by five until you reach", 1},
    {"zero after twenty chances.  If you guess one or two  words accurately, you", 1},
    {"receive two points for each word if you fail to guess the phrase by the", 1},
    {"end of your twenty chances.  You get credit for these one or two word accurate", 1},
    {"guesses even if you fail to spell those words correctly in subsequent guesses.", 1},
    {"However,  to get credit for guessing the entire phrase correctly, you must", 1},
    {"enter it with total accuracy.  Your guesses of the phrase are displayed on the", 1},
    {"screen in order, in case you wish to review them.  You may  review your prior", 1},
    {"letter guesses by Pressing the question mark at the letter guess prompt .  The", 1},
    {"letters will appear on the line above the prompt line.", 2},
    {"Keep these points in mind when playing.  All entries should be in lower case.", 1},
    {"Words that are normally hyphenated appear in this game without the hyphens.", 1},
    {"Statements of letter matches only include  words not yet guessed.", 1},
    {"All spelling  is consistent with United States English and", 1},
    {"not the   British spelling.  Verbs may be present or past tense.", 1},
    {"Some words fall into both the adjective and verb categories.  You can exit", 1},
    {"the game at the guess a letter prompt by pressing the Escape key.", 2},
    {"Every letter you uncover plays a tone, one for each place it fills, so keep", 1},
    {"your ears open: the tones and the spelled words tell you as much as the", 1},
    {"screen does.  Good luck, and may the koalas hum your phrase.", 0},
};

enum class PagerState { firstPage, secondPage, done };

// A page, its prompt, and the letter that turns to the other page.
struct InstructionPage {
    std::span<const PageLine> lines;
    const char* prompt;
    char turnKey;
    PagerState turnsTo;
};

const InstructionPage firstPage{firstPageLines, "Press C to continue or R to return to the game  ", 'c',
                                PagerState::secondPage};
const InstructionPage secondPage{secondPageLines, "Press B to back up or R to return to the game  ", 'b',
                                 PagerState::firstPage};

void drawPage(const InstructionPage& page)
{
    clearScreen();
    setCursor(pageTextAt);
    for (const PageLine& line : page.lines) std::cout << line.text << std::string(line.lineBreaks, '\n');
}

bool leavesForGood(int key) { return key == escapeKey || key == ctrlCKey; }

bool isPageKey(const InstructionPage& page, int key)
{
    return key == page.turnKey || key == 'r' || leavesForGood(key);
}

// The prompt is written over itself, never blanked: the page stays as drawn.
void writePagePrompt(const InstructionPage& page)
{
    setCursor(pagePromptAt);
    pause(200);
    std::cout << page.prompt;
}

char waitForPageKey(const InstructionPage& page)
{
    return askForKey([&] { writePagePrompt(page); }, [&](int key) { return isPageKey(page, key); });
}

void drawBareNameScreen()
{
    clearScreen();
    setCursor(bareNameAt);
    std::cout << "Happy Koalas Hum";
}

}  // namespace

void showInstructions()
{
    PagerState state = PagerState::firstPage;
    char lastKey = 0;
    while (state != PagerState::done) {
        const InstructionPage& page = state == PagerState::firstPage ? firstPage : secondPage;
        drawPage(page);
        lastKey = waitForPageKey(page);
        state = lastKey == page.turnKey ? page.turnsTo : PagerState::done;
    }
    if (leavesForGood(lastKey)) quitEarly();
    drawBareNameScreen();
}
