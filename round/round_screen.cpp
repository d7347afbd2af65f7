#include "round/round_screen.h"

#include <iostream>

#include "console/console.h"

void blankRow(int row)
{
    setCursor(1, row);
    clearLine();
    setCursor(1, row);
}

void writePrompt(const std::string& text)
{
    blankRow(promptRow);
    pause(500);
    std::cout << text;
}
