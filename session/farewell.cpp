#include <iostream>

#include "console/console.h"
#include "screen/closing_sequence.h"
#include "screen/player_name.h"
#include "screen/screen_position.h"
#include "session/closing_screens.h"

// The thanks, then the goodbye just above the closing prompt.
constexpr ScreenPosition thanksAt{1, 18};
constexpr ScreenPosition goodbyeAt{34, 21};

void showFarewell()
{
    setCursor(thanksAt);
    std::cout << "Thank you for playing Happy Koalas Hum.\n";
    std::cout << "Come back soon: the koalas are always humming new phrases.\n\n";
    setCursor(goodbyeAt);
    std::cout << "Happy koalas hum " << playerName;
    pause(3000);
    closeGame("Press escape to exit ", {"data\\hum.wav", "data\\exit.wav", "data\\haha.wav"});
}
