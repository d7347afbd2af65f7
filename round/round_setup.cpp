#include "round/round_setup.h"

#include <iostream>

#include "console/console.h"
#include "lexicon/phrase_source.h"
#include "round/round_screen.h"
#include "screen/player_name.h"

namespace {

// Every letter after the first is hidden; a one-letter word shows no dash.
std::string hideLetters(const std::string& word)
{
    std::string shown = word;
    for (std::size_t position = 1; position < shown.size(); ++position) shown[position] = '-';
    return shown;
}

void drawPhrase(RoundState& round)
{
    pickAdjective(round.adjective.answer);
    pickNoun(round.noun.answer);
    pickVerb(round.verb.answer);
    round.answerPhrase = joinWords(round.adjective.answer, round.noun.answer, round.verb.answer);
    for (PhraseWord* word : phraseWords(round)) word->shown = hideLetters(word->answer);
    rebuildShownPhrase(round);
}

}  // namespace

void setUpRound(RoundState& round)
{
    playSound("data\\plso.wav");
    drawPhrase(round);
    clearScreen();
    setCursor(1, messageRow);
    pause(500);
    std::cout << "Okay " << playerName << " time to  hum!";
    blankRow(phraseRow);
    pause(500);
    std::cout << "The phrase is: " << round.shownPhrase;
}
