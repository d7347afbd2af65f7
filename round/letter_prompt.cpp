#include "round/letter_prompt.h"

#include <iostream>

#include "console/console.h"
#include "round/play_session.h"
#include "round/round_screen.h"

namespace {

void showLetterLog(const SessionState& session)
{
    blankRow(letterLogRow);
    std::cout << session.guessedLetters;
}

char readLetter(const SessionState& session, bool logOnQuestionMark)
{
    for (;;) {
        writePrompt("Guess a letter ");
        int key = readKey();
        if (key == escapeKey) leaveSession(session);
        if (logOnQuestionMark && key == '?') {
            showLetterLog(session);
            continue;
        }
        int letter = foldKey(key);
        if (letter >= 'a' && letter <= 'z') return static_cast<char>(letter);
    }
}

}  // namespace

char readFirstLetter(const SessionState& session) { return readLetter(session, false); }

char readNextLetter(const SessionState& session) { return readLetter(session, true); }
