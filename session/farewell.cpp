#include <iostream>

#include "console/console.h"
#include "session/closing_screens.h"
#include "session/player_name.h"

void showFarewell()
{
    setCursor(1, 18);
    std::cout << "Thank you for playing Happy Koalas Hum.\n";
    std::cout << "Come back soon: the koalas are always humming new phrases.\n\n";
    setCursor(34, 21);
    std::cout << "Happy koalas hum " << playerName;
    pause(3000);
    setCursor(34, 22);
    std::cout << "Press escape to exit ";
    waitForEscape();
    playSound("data\\hum.wav");
    playSound("data\\exit.wav");
    playSound("data\\haha.wav");
    endProgram(0);
}
