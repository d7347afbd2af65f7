#include <iostream>

#include "console/console.h"
#include "round/outcomes.h"
#include "round/round_screen.h"
#include "screen/player_name.h"

namespace {

struct WinBand {
    int pointsBelow;  // the band holds the points under this and above the band before
    const char* prefix;
    const char* suffix;
};

constexpr WinBand winBands[] = {
    {20, "You got it, not so good ", ", but you will do better"},
    {40, "Correct, Not bad ", ", but room for improvement"},
    {60, "Right, you are getting pretty crafty ", ", keep trying"},
    {80, "Yes, oh ", ", your brilliance  is beginning to show"},
    {100, "Fantastic, ", ", very impressive performance"},
};

constexpr WinBand fullPointsBand{101, "Tremendous job ", ", you got it in one guess, you must be a word genious!"};

const WinBand& bandFor(int points)
{
    for (const WinBand& band : winBands) {
        if (points < band.pointsBelow) return band;
    }
    return fullPointsBand;
}

// The longer fanfare is for a phrase guessed before any pass or wrong guess.
void playFanfare(int points)
{
    if (points == 100) {
        for (int time = 0; time < 3; ++time) playSound("data\\fupo1.wav");
        playSound("data\\yes.wav");
        playSound("data\\fupo2.wav");
    } else {
        playSound("data\\rian1.wav");
        playSound("data\\yes.wav");
        playSound("data\\rian2.wav");
    }
}

}  // namespace

void announceWin(int points, const std::string& phrase)
{
    playFanfare(points);
    blankRow(phraseRow);
    pause(500);
    std::cout << phrase;
    blankRow(pointsRow);
    pause(500);
    std::cout << "You get " << points << " points for this game " << playerName;
    // The credit row may still hold a credit message.
    blankRow(creditRow);
    blankRow(messageRow);
    const WinBand& band = bandFor(points);
    std::cout << band.prefix << playerName << band.suffix;
}
