// The screens by which the program ends: the early quit, and the session's
// summary followed by the farewell.
#include "session/closing_screens.h"

#include <iostream>

#include "screen/player_name.h"
#include "screen/screen.h"

namespace {

constexpr ScreenPosition apologyAt{14, 12};

// The summary's lines, then the thanks and the goodbye just above the
// closing prompt.
constexpr ScreenPosition greetingAt{27, 5};
constexpr ScreenPosition totalsAt{14, 10};
constexpr ScreenPosition averageAt{14, 11};
constexpr ScreenPosition thanksAt{1, 18};
constexpr ScreenPosition goodbyeAt{34, 21};

[[noreturn]] void showFarewell()
{
    setCursor(thanksAt);
    std::cout << "Thank you for playing Happy Koalas Hum.\n";
    std::cout << "Come back soon: the koalas are always humming new phrases.\n\n";
    setCursor(goodbyeAt);
    std::cout << "Happy koalas hum " << playerName;
    pause(3000);
    closeGame("Press escape to exit ", {"data\\hum.wav", "data\\exit.wav", "data\\haha.wav"});
}

}  // namespace

void quitEarly()
{
    clearScreen();
    setCursor(apologyAt);
    std::cout << "So sorry you must leave so soon, come on back for fun";
    pause(1000);
    closeGame("Press ESCAPE to exit ", {"data\\hum.wav", "data\\exit.wav"});
}

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
