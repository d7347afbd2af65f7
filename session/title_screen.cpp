#include "session/title_screen.h"

#include <iostream>

#include "console/console.h"
#include "session/closing_screens.h"
#include "session/instructions.h"
#include "session/player_name.h"

namespace {

void blankPromptRow()
{
    setCursor(1, 22);
    clearLine();
    setCursor(1, 22);
}

void drawTitleLines()
{
    clearScreen();
    setCursor(31, 7);
    std::cout << "Happy Koalas Hum";
    setCursor(28, 9);
    std::cout << "Version 1.0 for Windows";
    setCursor(23, 12);
    std::cout << "A word game to play by ear and by eye";
    setCursor(23, 14);
    std::cout << "Made by the Happy Koalas Hum team" << std::endl;
    setCursor(1, 16);
    std::cout << "Three words, one letter at a time: every letter you uncover plays a tone.\n";
    std::cout << "Listen closely, then guess the phrase while your 100 points last.";
}

// Asks until the answer is Y, N or Escape, in either case; returns it folded.
int askForInstructions()
{
    for (;;) {
        blankPromptRow();
        pause(1000);
        std::cout << "Do you want instructions?  Y or N  ";
        int answer = static_cast<char>(foldKey(readKey()));
        if (answer == 'y' || answer == 'n' || answer == escapeKey) return answer;
    }
}

}  // namespace

void showTitle()
{
    drawTitleLines();
    int answer = askForInstructions();
    if (answer == 'y') showInstructions();
    if (answer == escapeKey) quitEarly();
    blankPromptRow();
    std::cout << "What is your first name?  ";
    playerName = readLine(playerNameLimit);
    playSound("data\\intr.wav");
    playSound("data\\koal.wav");
}
