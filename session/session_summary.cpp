#include <iostream>

#include "console/console.h"
#include "session/closing_screens.h"
#include "session/player_name.h"

void showSessionSummary(int gamesPlayed, int sessionPoints)
{
    clearScreen();
    setCursor(27, 5);
    std::cout << "I hope you had fun " << playerName;
    setCursor(14, 10);
    if (gamesPlayed == 1) {
        std::cout << "You played " << gamesPlayed << " game and earned " << sessionPoints << " points this session";
    } else {
        std::cout << "You played " << gamesPlayed << " games and earned " << sessionPoints << " points this session";
        setCursor(14, 11);
        if (gamesPlayed > 0) std::cout << "You averaged " << sessionPoints / gamesPlayed << " points per game";
    }
    showFarewell();
}
