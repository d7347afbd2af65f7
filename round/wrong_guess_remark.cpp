#include <iostream>

#include "lexicon/random_number.h"
#include "round/outcomes.h"
#include "round/round_screen.h"
#include "screen/player_name.h"

namespace {

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

constexpr int remarkCount = sizeof wrongGuessRemarks / sizeof wrongGuessRemarks[0];

}  // namespace

void remarkWrongGuess()
{
    const Remark& remark = wrongGuessRemarks[nextRandom() % remarkCount];
    blankRow(messageRow);
    std::cout << remark.prefix << playerName << remark.suffix;
}
