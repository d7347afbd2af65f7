#include "round/play_round.h"

#include "console/console.h"
#include "round/letter_prompt.h"
#include "round/letter_turn.h"
#include "round/phrase_guess.h"
#include "round/round_end.h"
#include "round/round_setup.h"
#include "round/turn_menu.h"

namespace {

constexpr int pointsPerTurn = 5;

enum class TurnsEnd { roundOver, left };

// Returns whether the pass used up the round's points.
bool passTurn(RoundState& round)
{
    round.roundPoints -= pointsPerTurn;
    return round.roundPoints == 0;
}

// The action chosen after a turn's letter; returns whether the round is over.
bool finishTurn(RoundState& round, char action)
{
    if (action == 'p') return passTurn(round);
    return guessPhrase(round) != GuessOutcome::wrong;
}

// Every turn ends the round with a win or costs 5 points, so the points run
// out by the 20th turn.
TurnsEnd playTurns(SessionState& session, RoundState& round, char letter)
{
    for (;;) {
        playLetter(session, round, letter);
        char action = chooseTurnAction(round);
        if (action == escapeKey) return TurnsEnd::left;
        if (finishTurn(round, action)) return TurnsEnd::roundOver;
        letter = readNextLetter(session);
        if (letter == escapeKey) return TurnsEnd::left;
    }
}

}  // namespace

bool playRound(SessionState& session)
{
    RoundState round;
    setUpRound(round);
    char letter = readFirstLetter();
    if (letter == escapeKey) return false;
    session.guessedLetters.clear();
    if (playTurns(session, round, letter) == TurnsEnd::left) return false;
    return closeRound(session, round);
}
