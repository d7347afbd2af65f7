#include "screen/screen.h"

#include <iostream>

namespace {

constexpr int closingPromptColumn = 34;

}  // namespace

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

char askForKey(const std::function<void()>& writePrompt, const std::function<bool(int)>& accepts)
{
    for (;;) {
        writePrompt();
        const int key = foldKey(readKey());
        if (accepts(key)) return static_cast<char>(key);
    }
}

void closeGame(const char* prompt, std::initializer_list<const char*> sounds)
{
    setCursor(closingPromptColumn, promptRow);
    std::cout << prompt;
    while (readKey() != escapeKey) {
    }
    for (const char* sound : sounds) playSound(sound);
    endProgram(0);
}
