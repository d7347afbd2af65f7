#include "round/turn_menu.h"

#include "console/console.h"
#include "round/play_session.h"
#include "round/round_screen.h"
#include "round/spelling_review.h"

namespace {

char readMenuKey(const SessionState& session)
{
    for (;;) {
        writePrompt("Guess, Review or Pass, G, R or P ");
        int key = readKey();
        if (key == escapeKey) leaveSession(session);
        int choice = foldKey(key);
        if (choice == 'g' || choice == 'r' || choice == 'p') return static_cast<char>(choice);
    }
}

}  // namespace

char chooseTurnAction(const SessionState& session, const RoundState& round)
{
    char choice = readMenuKey(session);
    // Taking a choice erases the letter log if it was shown.
    setCursor(1, letterLogRow);
    clearLine();
    if (choice != 'r') return choice;
    return static_cast<char>(foldKey(reviewSpelling(round.adjective.shown, round.noun.shown, round.verb.shown)));
}
