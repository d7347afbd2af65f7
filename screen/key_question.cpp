#include "screen/key_question.h"

#include "console/console.h"

char askForKey(const std::function<void()>& writePrompt, const std::function<bool(int)>& accepts)
{
    for (;;) {
        writePrompt();
        const int key = foldKey(readKey());
        if (accepts(key)) return static_cast<char>(key);
    }
}
