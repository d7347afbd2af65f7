#include "round/play_session.h"

#include "console/console.h"
#include "round/letter_prompt.h"
#include "round/letter_turn.h"
#include "round/phrase_guess.h"
#include "round/round_end.h"
#include "round/round_setup.h"
#include "round/turn_menu.h"
#include "session/closing_screens.h"

namespace {

constexpr int pointsPerTurn = 5;

// Returns whether the pass used up the round's points.
bool passTurn(RoundState& round)
{
    round.roundPoints -= pointsPerTurn;
    return round.roundPoints == 0;
}

// The choice after a turn's letter; returns whether the round is over.
bool finishTurn(const SessionState& session, RoundState& round)
{
    if (chooseTurnAction(session, round) == 'p') return passTurn(round);
    return guessPhrase(round) != GuessOutcome::wrong;
}

// Every turn ends the round with a win or costs 5 points, so the points run
// out by the 20th turn, before the chances do.
void playTurns(SessionState& session, RoundState& round, char letter)
{
    while (round.chancesLeft > 0) {
        playLetter(session, round, letter);
        if (finishTurn(session, round)) return;
        letter = readNextLetter(session);
        --round.chancesLeft;
    }
}

}  // namespace

void playSession()
{
    SessionState session;
    for (;;) {
        RoundState round;
        setUpRound(round);
        char letter = readFirstLetter(session);
        session.guessedLetters.clear();
        round.chancesLeft = 20;
        playTurns(session, round, letter);
        closeRound(session, round);
    }
}

void leaveSession(const SessionState& session)
{
    playSound("data\\quit.wav");
    showSessionSummary(session.gamesPlayed, session.sessionPoints);
}
