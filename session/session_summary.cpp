#include <iostream>

#include "console/console.h"
#include "screen/player_name.h"
#include "screen/screen_position.h"
#include "session/closing_screens.h"

// The summary's lines; the farewell follows below them.
constexpr ScreenPosition greetingAt{27, 5};
constexpr ScreenPosition totalsAt{14, 10};
constexpr ScreenPosition averageAt{14, 11};

void showSessionSummary(int gamesPlayed, int sessionPoints)
{
    clearScreen();
    setCursor(greetingAt);
    std::cout << "I hope you had fun " << playerName;
    setCursor(totalsAt);
    if (gamesPlayed == 1) {
        std::cout << "You played " << gamesPlayed << " game and earned " << sessionPoints << " points this session";
    } else {
        std::cout << "You played " << gamesPlayed << " games and earned " << sessionPoints << " points this session";
        setCursor(averageAt);
        if (gamesPlayed > 0) std::cout << "You averaged " << sessionPoints / gamesPlayed << " points per game";
    }
    showFarewell();
}
