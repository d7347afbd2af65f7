#include "session/title_screen.h"

#include <iostream>

#include "screen/player_name.h"
#include "screen/screen.h"
#include "session/closing_screens.h"

namespace {

// The title screen; its questions go on the prompt row.
constexpr ScreenPosition gameNameAt{31, 7};
constexpr ScreenPosition versionAt{28, 9};
constexpr ScreenPosition taglineAt{23, 12};
constexpr ScreenPosition madeByAt{23, 14};
constexpr ScreenPosition introductionAt{1, 16};

void drawTitleLines()
{
    clearScreen();
    setCursor(gameNameAt);
    std::cout << "Happy Koalas Hum";
    setCursor(versionAt);
    std::cout << "Version 1.0 for Windows";
    setCursor(taglineAt);
    std::cout << "A word game to play by ear and by eye";
    setCursor(madeByAt);
    std::cout << "Made by the Happy Koalas Hum team" << std::endl;
    setCursor(introductionAt);
    std::cout << "Three words, one letter at a time: every letter you uncover plays a tone.\n";
    std::cout << "Listen closely, then guess the phrase while your 100 points last.";
}

// Asks until the answer is Y, N or Escape, in either case; returns it folded.
char askForInstructions()
{
    return askForKey([] { writePrompt("Do you want instructions?  Y or N  ", 1000); },
                     [](int key) { return key == 'y' || key == 'n' || key == escapeKey; });
}

}  // namespace

void showTitle()
{
    drawTitleLines();
    char answer = askForInstructions();
    if (answer == 'y') showInstructions();
    if (answer == escapeKey) quitEarly();
    blankRow(promptRow);
    std::cout << "What is your first name?  ";
    playerName = readLine(playerNameLimit);
    playSound("data\\intr.wav");
    playSound("data\\koal.wav");
}
