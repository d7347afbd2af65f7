#include "round/word_credit.h"

#include <iostream>
#include <vector>

#include "console/console.h"
#include "round/round_screen.h"
#include "screen/player_name.h"

namespace {

void creditWord(PhraseWord& word, const std::string& guess)
{
    if (guess != word.answer) return;
    word.shown = word.answer;
    word.credited = true;
}

std::vector<std::string> creditedWords(const RoundState& round)
{
    std::vector<std::string> words;
    for (const PhraseWord* word : {&round.adjective, &round.noun, &round.verb}) {
        if (word->credited) words.push_back(word->shown);
    }
    return words;
}

}  // namespace

void creditWords(RoundState& round, const std::string& adjectiveGuess, const std::string& nounGuess,
                 const std::string& verbGuess)
{
    creditWord(round.adjective, adjectiveGuess);
    creditWord(round.noun, nounGuess);
    creditWord(round.verb, verbGuess);
}

void writeCreditMessage(const RoundState& round)
{
    std::vector<std::string> words = creditedWords(round);
    if (words.size() == 1) {
        pause(1000);
        playSound("data\\woma.wav");
        blankRow(creditRow);
        std::cout << "But you got  one word: " << words[0];
    } else if (words.size() == 2) {
        pause(1000);
        playSound("data\\woma.wav");
        playSound("data\\woma.wav");
        blankRow(creditRow);
        std::cout << "But " << playerName << " very close, you got two words: " << words[0] << " and " << words[1];
    }
}

void showCreditedPhrase(RoundState& round)
{
    rebuildShownPhrase(round);
    blankRow(phraseRow);
    pause(500);
    std::cout << "The phrase is: " << round.shownPhrase;
}
