#include "screen/closing_sequence.h"

#include <iostream>

#include "console/console.h"
#include "screen/rows.h"

namespace {

constexpr int closingPromptColumn = 34;

void waitForEscape()
{
    while (readKey() != escapeKey) {
    }
}

}  // namespace

void closeGame(const char* prompt, std::initializer_list<const char*> sounds)
{
    setCursor(closingPromptColumn, promptRow);
    std::cout << prompt;
    waitForEscape();
    for (const char* sound : sounds) playSound(sound);
    endProgram(0);
}
