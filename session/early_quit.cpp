#include <iostream>

#include "console/console.h"
#include "screen/closing_sequence.h"
#include "screen/screen_position.h"
#include "session/closing_screens.h"

constexpr ScreenPosition apologyAt{14, 12};

void quitEarly()
{
    clearScreen();
    setCursor(apologyAt);
    std::cout << "So sorry you must leave so soon, come on back for fun";
    pause(1000);
    closeGame("Press ESCAPE to exit ", {"data\\hum.wav", "data\\exit.wav"});
}
