#include "round/round_end.h"

#include "console/console.h"
#include "round/outcomes.h"
#include "round/round_screen.h"
#include "session/closing_screens.h"

namespace {

// Escape is not special here: it is refused like any other key.
char askPlayAgain()
{
    for (;;) {
        writePrompt("Play again or Quit? P or Q ");
        int answer = foldKey(readKey());
        if (answer == 'p' || answer == 'q') return static_cast<char>(answer);
    }
}

}  // namespace

void closeRound(SessionState& session, RoundState& round)
{
    // Counted from the flags, so a round lost on a pass keeps the credit of
    // its earlier guesses.
    if (round.roundPoints == 0) announceLoss(round.answerPhrase, countCreditedWords(round), round.roundPoints);
    char answer = askPlayAgain();
    session.sessionPoints += round.roundPoints;
    ++session.gamesPlayed;
    if (answer == 'q') {
        playSound("data\\quit.wav");
        showSessionSummary(session.gamesPlayed, session.sessionPoints);
    }
}
