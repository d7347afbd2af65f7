#include "round/phrase_guess.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <optional>

#include "console/console.h"
#include "round/outcomes.h"
#include "round/round_screen.h"
#include "round/word_credit.h"

namespace {

constexpr std::size_t guessLineLimit = 39;

using GuessWords = std::array<std::string, 3>;

std::string foldText(std::string text)
{
    for (char& character : text) character = static_cast<char>(foldKey(static_cast<unsigned char>(character)));
    return text;
}

// A space in the first position is not counted.
int countSpaces(const std::string& line)
{
    return line.empty() ? 0 : static_cast<int>(std::count(line.begin() + 1, line.end(), ' '));
}

// Three words with one space between each, after an optional leading space;
// anything else (two spaces in a row, a trailing space) is no guess.
std::optional<GuessWords> splitGuess(const std::string& line)
{
    if (countSpaces(line) != 2) return std::nullopt;
    std::string rest = line[0] == ' ' ? line.substr(1) : line;
    std::size_t firstSpace = rest.find(' ');
    std::size_t secondSpace = rest.find(' ', firstSpace + 1);
    GuessWords words{rest.substr(0, firstSpace), rest.substr(firstSpace + 1, secondSpace - firstSpace - 1),
                     rest.substr(secondSpace + 1)};
    for (const std::string& word : words) {
        if (word.empty()) return std::nullopt;
    }
    return words;
}

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

void listGuess(RoundState& round, const std::string& guess)
{
    setCursor(1, firstGuessRow + round.guessesListed);
    ++round.guessesListed;
    std::cout << guess;
}

GuessOutcome judgeWrongGuess(RoundState& round, const GuessWords& words)
{
    round.roundPoints -= 5;
    creditWords(round, foldText(words[0]), foldText(words[1]), foldText(words[2]));
    playSound("data\\wran.wav");
    if (round.roundPoints > 0) remarkWrongGuess();
    writeCreditMessage(round);
    if (round.roundPoints == 0) return GuessOutcome::lost;
    if (countCreditedWords(round) > 0) showCreditedPhrase(round);
    return GuessOutcome::wrong;
}

}  // namespace

GuessOutcome guessPhrase(RoundState& round)
{
    GuessWords words = readGuessWords(round);
    std::string guess = foldText(joinWords(words[0], words[1], words[2]));
    listGuess(round, guess);
    if (guess == round.answerPhrase) {
        announceWin(round.roundPoints, round.answerPhrase);
        return GuessOutcome::win;
    }
    return judgeWrongGuess(round, words);
}
