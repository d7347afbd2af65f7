// The screens at a round's turning points: the remark after a wrong guess,
// the win and the loss. Each writes over fixed rows of the round screen and
// addresses the player by name.
#include <iostream>
#include <iterator>

#include "console/console.h"
#include "lexicon/random_number.h"
#include "round/round_screen.h"
#include "screen/player_name.h"

namespace {

// A text around the player's name.
struct Remark {
    const char* prefix;
    const char* suffix;
};

// Spelled as the players know them, "Keept" included.
constexpr Remark wrongGuessRemarks[] = {
    {"Sorry ", " wrong answer"},
    {"Not correct ", " keep trying"},
    {"Too bad ", " better grab a dictionary"},
    {"No good ", " better take a deep breath"},
    {"Oh no ", " you blew that one"},
    {"What is the deal ", " you did so well in school"},
    {"Keept guessing  ", " but not that time"},
    {"Oh darn it  ", " wrong again"},
    {"Wrong ", " but keep hacking away at it"},
    {"Shucks ", " you are striking out"},
    {"Hey ", " I will get you a dictionary for Christmas"},
    {"Not quite ", " you need more juice"},
    {"Oh brother ", " this one is stumping you"},
    {"Oh nuts ", " I thought you had it for a second"},
    {"Man ", " I thought you would get this one"},
    {"Well ", " so you are not Harvard material"},
    {"So what ", " words are not everything"},
    {"Wrong ", " but I still like you"},
    {"Good guess ", " but you missed the target"},
    {"Oh no ", " I think you need some home tutoring"},
};

struct WinBand {
    int pointsBelow;  // the band holds the points under this and above the band before
    Remark remark;
};

constexpr WinBand winBands[] = {
    {20, {"You got it, not so good ", ", but you will do better"}},
    {40, {"Correct, Not bad ", ", but room for improvement"}},
    {60, {"Right, you are getting pretty crafty ", ", keep trying"}},
    {80, {"Yes, oh ", ", your brilliance  is beginning to show"}},
    {100, {"Fantastic, ", ", very impressive performance"}},
    {startingPoints + 1, {"Tremendous job ", ", you got it in one guess, you must be a word genious!"}},
};

void writeRemark(const Remark& remark) { std::cout << remark.prefix << playerName << remark.suffix; }

const Remark& winRemarkFor(int points)
{
    for (const WinBand& band : winBands) {
        if (points < band.pointsBelow) return band.remark;
    }
    return winBands[std::size(winBands) - 1].remark;
}

// The longer fanfare is for a phrase guessed before any pass or wrong guess.
void playFanfare(int points)
{
    const bool fullPoints = points == startingPoints;
    const char* opening = fullPoints ? "data\\fupo1.wav" : "data\\rian1.wav";
    for (int time = 0; time < (fullPoints ? 3 : 1); ++time) playSound(opening);
    playSound("data\\yes.wav");
    playSound(fullPoints ? "data\\fupo2.wav" : "data\\rian2.wav");
}

// Indexed by the words credited; each line ends with the player's name.
constexpr const char* consolationLines[] = {
    "You get zero points for this game ",
    "But you get two points for one correct word ",
    "But you get four points for two correct words ",
    "But you get six points for three correct words ",
};

}  // namespace

void remarkWrongGuess()
{
    const Remark& remark = wrongGuessRemarks[nextRandom() % int(std::size(wrongGuessRemarks))];
    blankRow(messageRow);
    writeRemark(remark);
}

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
    writeRemark(winRemarkFor(points));
}

void announceLoss(const std::string& phrase, int wordsCredited, int& points)
{
    pause(2000);
    playSound("data\\nopo.wav");
    blankRow(messageRow);
    std::cout << "Oh so sorry " << playerName << ", you got stumped by that one\n";
    blankRow(phraseRow);
    std::cout << "The correct phrase  is " << phrase;
    blankRow(pointsRow);
    if (wordsCredited < 0 || wordsCredited >= int(std::size(consolationLines))) return;
    std::cout << consolationLines[wordsCredited] << playerName;
    points += consolationPoints(wordsCredited);
}
