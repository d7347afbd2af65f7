#include "screen/rows.h"

#include <iostream>

#include "console/console.h"

void blankRow(int row)
{
    setCursor(1, row);
    clearLine();
    setCursor(1, row);
}

void writePrompt(const std::string& text, int pauseMilliseconds)
{
    blankRow(promptRow);
    pause(pauseMilliseconds);
    std::cout << text;
}
