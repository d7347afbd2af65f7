// The instructions pager: two pages of rules, paged with C and B, left with R
// for the game or with Escape or Ctrl-C for the early-quit screen.
#include "session/title_screen.h"

#include <iostream>

#include "screen/screen.h"
#include "session/closing_screens.h"

namespace {

// The pager's screen: each page from the top-left corner, its prompt on the
// bottom row, and the game's name alone once the player goes back to it.
constexpr ScreenPosition pageTextAt{1, 1};
constexpr ScreenPosition pagePromptAt{1, 25};
constexpr ScreenPosition bareNameAt{31, 9};

// Each page is written from the cursor; two line breaks leave a row empty.
// Row 22 is exactly 80 characters: the line break after it must move to row
// 23 only, which it does on a terminal that wraps at the next character.
const char* const firstPageText =
    "Instructions for Happy Koalas Hum   by the Happy Koalas Hum team\n\n"
    "Happy Koalas Hum is a challenging word game for Windows in which you guess\n"
    "letters of the alphabet in order to solve the puzzle of a three word phrase\n"
    "consisting of an adjective followed by a plural noun followed by a verb.  The\n"
    "phrases may or may not make sense and some of them will be quite humorous,\n"
    "such as Happy Koalas Hum.\n\n"
    "You begin by being shown a phrase with  the first letter of each of the\n"
    "words revealed with  dashes for the remaining letters.  This appears on the\n"
    "line below the prompt line.  The prompt states guess a letter.  Simply press\n"
    "any letter in the alphabet without pressing Enter.  You will be informed of how\n"
    "many instances of that letter there are in the phrase and those letters will be\n"
    "revealed.  The prompt will then state guess, review, or pass, by pressing g, r,\n"
    "or p.  Press r for audio spelling of each word.  After pressing r, press\n"
    "the numbers 1, 2, or 3 on the top row to hear the first, second, and third\n"
    "words spelled.  You can press 4, 5, and 6 to hear the words spelled out with\n"
    "phonetics, such as alpha, bravo, charlie and so on.  The 1, 2, and 3\n"
    "are adequate for most people.  You can listen to the spelling as many times as\n"
    "you choose.  When ready to proceed, press g if you want to enter a guess\n"
    "for the phrase or press p if you would rather pass.  If you enter a guess, your\n"
    "entry must be accurately spelled with a space between the words in order to win.\n";

const char* const secondPageText =
    "You get 100 points in the unlikely case that you guess correctly on the first\n"
    "attempt.  The points for each  guess are reduced by five until you reach\n"
    "zero after twenty chances.  If you guess one or two  words accurately, you\n"
    "receive two points for each word if you fail to guess the phrase by the\n"
    "end of your twenty chances.  You get credit for these one or two word accurate\n"
    "guesses even if you fail to spell those words correctly in subsequent guesses.\n"
    "However,  to get credit for guessing the entire phrase correctly, you must\n"
    "enter it with total accuracy.  Your guesses of the phrase are displayed on the\n"
    "screen in order, in case you wish to review them.  You may  review your prior\n"
    "letter guesses by Pressing the question mark at the letter guess prompt .  The\n"
    "letters will appear on the line above the prompt line.\n\n"
    "Keep these points in mind when playing.  All entries should be in lower case.\n"
    "Words that are normally hyphenated appear in this game without the hyphens.\n"
    "Statements of letter matches only include  words not yet guessed.\n"
    "All spelling  is consistent with United States English and\n"
    "not the   British spelling.  Verbs may be present or past tense.\n"
    "Some words fall into both the adjective and verb categories.  You can exit\n"
    "the game at the guess a letter prompt by pressing the Escape key.\n\n"
    "Every letter you uncover plays a tone, one for each place it fills, so keep\n"
    "your ears open: the tones and the spelled words tell you as much as the\n"
    "screen does.  Good luck, and may the koalas hum your phrase.";

// A page, its prompt, and the letter that turns to the other page.
struct InstructionPage {
    const char* text;
    const char* prompt;
    char turnKey;
};

const InstructionPage pages[] = {
    {firstPageText, "Press C to continue or R to return to the game  ", 'c'},
    {secondPageText, "Press B to back up or R to return to the game  ", 'b'},
};

bool leavesForGood(int key) { return key == escapeKey || key == ctrlCKey; }

// The prompt is written over itself, never blanked: the page stays as drawn.
char waitForPageKey(const InstructionPage& page)
{
    return askForKey(
        [&] {
            setCursor(pagePromptAt);
            pause(200);
            std::cout << page.prompt;
        },
        [&](int key) { return key == page.turnKey || key == 'r' || leavesForGood(key); });
}

}  // namespace

void showInstructions()
{
    for (int shown = 0;; shown = 1 - shown) {
        clearScreen();
        setCursor(pageTextAt);
        std::cout << pages[shown].text;
        const char key = waitForPageKey(pages[shown]);
        if (leavesForGood(key)) quitEarly();
        if (key == 'r') break;
    }
    clearScreen();
    setCursor(bareNameAt);
    std::cout << "Happy Koalas Hum";
}
