#include "round/letter_prompt.h"

#include <iostream>

#include "console/console.h"
#include "round/round_screen.h"
#include "screen/key_question.h"

namespace {

void showLetterLog(const SessionState& session)
{
    blankRow(letterLogRow);
    std::cout << session.guessedLetters;
}

bool isLetter(int key) { return key >= 'a' && key <= 'z'; }

// Asks again after showing the log, so the log stays until the next choice.
char readLetter(const SessionState* sessionWithLog)
{
    for (;;) {
        const char key = askForKey([] { writePrompt("Guess a letter "); }, [&](int typed) {
            return isLetter(typed) || typed == escapeKey || (sessionWithLog && typed == '?');
        });
        if (key != '?') return key;
        showLetterLog(*sessionWithLog);
    }
}

}  // namespace

char readFirstLetter() { return readLetter(nullptr); }

char readNextLetter(const SessionState& session) { return readLetter(&session); }
