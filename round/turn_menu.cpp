#include "round/turn_menu.h"

#include "console/console.h"
#include "round/round_screen.h"
#include "round/spelling_review.h"
#include "screen/key_question.h"

namespace {

char readMenuKey()
{
    return askForKey([] { writePrompt("Guess, Review or Pass, G, R or P "); },
                     [](int key) { return key == 'g' || key == 'r' || key == 'p' || key == escapeKey; });
}

}  // namespace

char chooseTurnAction(const RoundState& round)
{
    char choice = readMenuKey();
    if (choice == escapeKey) return choice;
    // Taking a choice erases the letter log if it was shown.
    blankRow(letterLogRow);
    if (choice != 'r') return choice;
    return static_cast<char>(foldKey(reviewSpelling(round.adjective.shown, round.noun.shown, round.verb.shown)));
}
