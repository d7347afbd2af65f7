#include <iostream>

#include "console/console.h"
#include "lexicon/phrase_source.h"
#include "session/closing_screens.h"

void lexiconMissing()
{
    // Only row 1 is cleared: the rest of the screen keeps what it showed.
    setCursor(1, 1);
    clearLine();
    setCursor(1, 1);
    pause(1000);
    std::cout << "Sorry, the lexicon files could not be located";
    setCursor(34, 22);
    std::cout << "Press ESCAPE to exit ";
    waitForEscape();
    playSound("data\\hum.wav");
    playSound("data\\exit.wav");
    endProgram(0);
}
