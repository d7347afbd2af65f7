#include "session/play_session.h"

#include "console/console.h"
#include "round/play_round.h"
#include "session/closing_screens.h"

void playSession()
{
    SessionState session;
    while (playRound(session)) {
    }
    playSound("data\\quit.wav");
    showSessionSummary(session.gamesPlayed, session.sessionPoints);
}
