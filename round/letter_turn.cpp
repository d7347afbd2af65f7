#include "round/letter_turn.h"

#include <algorithm>
#include <iostream>

#include "console/console.h"
#include "round/round_screen.h"
#include "screen/player_name.h"

namespace {

constexpr int toneCount = 8;

// Compared against the answer, not the shown word, so a letter played again
// is found and counted again.
int revealLetter(RoundState& round, char letter)
{
    int matchCount = 0;
    for (PhraseWord* word : phraseWords(round)) {
        for (std::size_t position = 1; position < word->answer.size(); ++position) {
            if (word->answer[position] != letter) continue;
            word->shown[position] = letter;
            ++matchCount;
        }
    }
    return matchCount;
}

void playMatchSounds(int matchCount)
{
    if (matchCount == 0) {
        playSound("data\\wrle.wav");
        return;
    }
    for (int tone = 1; tone <= std::min(matchCount, toneCount); ++tone) {
        playSound("data\\tone" + std::to_string(tone) + ".wav");
    }
}

void writeMatchMessage(int matchCount)
{
    blankRow(messageRow);
    pause(500);
    if (matchCount >= 2) {
        std::cout << "There are " << matchCount << " matches";
    } else if (matchCount == 1) {
        std::cout << "There is one match";
    } else {
        std::cout << "Sorry " << playerName << ", no matches";
    }
}

}  // namespace

void playLetter(SessionState& session, RoundState& round, char letter)
{
    session.guessedLetters += letter;
    session.guessedLetters += ' ';
    int matchCount = revealLetter(round, letter);
    playMatchSounds(matchCount);
    writeMatchMessage(matchCount);
    rebuildShownPhrase(round);
    blankRow(phraseRow);
    pause(500);
    std::cout << round.shownPhrase;
}
