#include "session/instructions.h"

#include <iostream>

#include "console/console.h"

// Placeholder until the pages are written: straight back to the game.
void showInstructions()
{
    clearScreen();
    setCursor(31, 9);
    std::cout << "Happy Koalas Hum";
}
