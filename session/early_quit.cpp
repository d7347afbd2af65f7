#include <iostream>

#include "console/console.h"
#include "session/closing_screens.h"

void waitForEscape()
{
    while (readKey() != escapeKey) {
    }
}

void quitEarly()
{
    clearScreen();
    setCursor(14, 12);
    std::cout << "So sorry you must leave so soon, come on back for fun";
    pause(1000);
    setCursor(34, 22);
    std::cout << "Press ESCAPE to exit ";
    waitForEscape();
    playSound("data\\hum.wav");
    playSound("data\\exit.wav");
    endProgram(0);
}
