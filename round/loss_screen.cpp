#include <iostream>

#include "console/console.h"
#include "round/outcomes.h"
#include "round/round_screen.h"
#include "screen/player_name.h"

namespace {

// Two points for every word typed exactly in a wrong guess of the round.
void writeConsolation(int wordsCredited, int& points)
{
    switch (wordsCredited) {
    case 0:
        std::cout << "You get zero points for this game " << playerName;
        break;
    case 1:
        std::cout << "But you get two points for one correct word" << ' ' << playerName;
        points += 2;
        break;
    case 2:
        std::cout << "But you get four points for two correct words" << ' ' << playerName;
        points += 4;
        break;
    case 3:
        std::cout << "But you get six points for three correct words" << ' ' << playerName;
        points += 6;
        break;
    }
}

}  // namespace

void announceLoss(const std::string& phrase, int wordsCredited, int& points)
{
    pause(2000);
    playSound("data\\nopo.wav");
    blankRow(messageRow);
    std::cout << "Oh so sorry " << playerName << ", you got stumped by that one\n";
    blankRow(phraseRow);
    std::cout << "The correct phrase  is " << phrase;
    blankRow(pointsRow);
    writeConsolation(wordsCredited, points);
}
