// The phrase guess: the typed line, its listing, and what a wrong guess
// shows and plays.
#include <algorithm>
#include <iostream>

#include "console/console.h"
#include "round/round_screen.h"
#include "screen/player_name.h"

namespace {

constexpr std::size_t guessLineLimit = 39;

// A damaged lexicon may give a longer phrase than the usual limit; the player
// can still type it whole.
std::size_t lineLimitFor(const RoundState& round) { return std::max(guessLineLimit, round.answerPhrase.size()); }

GuessWords readGuessWords(const RoundState& round)
{
    for (;;) {
        writePrompt("Enter phrase of 3 words  for " + std::to_string(round.roundPoints) + " points: ");
        std::string line = readLine(lineLimitFor(round));
        blankRow(promptRow);
        if (std::optional<GuessWords> words = splitGuess(line)) return *words;
        playSound("data\\bagu.wav");
    }
}

void listGuess(RoundState& round, const GuessWords& words)
{
    setCursor(1, firstGuessRow + round.guessesListed);
    ++round.guessesListed;
    std::cout << foldText(joinWords(words[0], words[1], words[2]));
}

// One or two credited words, with their sounds; three need no message.
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

void showWrongGuess(const RoundState& round, GuessOutcome outcome)
{
    playSound("data\\wran.wav");
    if (outcome == GuessOutcome::wrong) remarkWrongGuess();
    writeCreditMessage(round);
    if (outcome == GuessOutcome::lost || countCreditedWords(round) == 0) return;
    blankRow(phraseRow);
    pause(500);
    std::cout << "The phrase is: " << round.shownPhrase;
}

}  // namespace

GuessOutcome guessPhrase(RoundState& round)
{
    GuessWords words = readGuessWords(round);
    listGuess(round, words);
    GuessOutcome outcome = judgeGuess(round, words);
    if (outcome == GuessOutcome::win) {
        announceWin(round.roundPoints, round.answerPhrase);
    } else {
        showWrongGuess(round, outcome);
    }
    return outcome;
}
