#include "round/round_end.h"

#include "round/outcomes.h"
#include "round/round_screen.h"
#include "screen/key_question.h"

namespace {

// Escape is not special here: it is refused like any other key.
char askPlayAgain()
{
    return askForKey([] { writePrompt("Play again or Quit? P or Q "); },
                     [](int key) { return key == 'p' || key == 'q'; });
}

}  // namespace

bool closeRound(SessionState& session, RoundState& round)
{
    // Counted from the flags, so a round lost on a pass keeps the credit of
    // its earlier guesses.
    if (round.roundPoints == 0) announceLoss(round.answerPhrase, countCreditedWords(round), round.roundPoints);
    char answer = askPlayAgain();
    session.sessionPoints += round.roundPoints;
    ++session.gamesPlayed;
    return answer == 'p';
}
