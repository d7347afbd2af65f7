#include "round/round_rules.h"

#include <algorithm>

#include "console/console.h"

namespace {

// The three words in phrase order, for the steps that treat them alike.
std::array<PhraseWord*, 3> phraseWords(RoundState& round) { return {&round.adjective, &round.noun, &round.verb}; }

// Every letter after the first is hidden; a one-letter word shows no dash.
std::string hideLetters(const std::string& word)
{
    std::string shown = word;
    for (std::size_t position = 1; position < shown.size(); ++position) shown[position] = '-';
    return shown;
}

void rebuildShownPhrase(RoundState& round)
{
    round.shownPhrase = joinWords(round.adjective.shown, round.noun.shown, round.verb.shown);
}

void creditWord(PhraseWord& word, const std::string& guess)
{
    if (foldText(guess) != word.answer) return;
    word.shown = word.answer;
    word.credited = true;
}

}  // namespace

std::string joinWords(const std::string& first, const std::string& second, const std::string& third)
{
    return first + " " + second + " " + third;
}

std::string foldText(std::string text)
{
    for (char& character : text) character = static_cast<char>(foldKey(static_cast<unsigned char>(character)));
    return text;
}

void startRound(RoundState& round, const std::string& adjective, const std::string& noun, const std::string& verb)
{
    round = RoundState{};
    round.adjective.answer = adjective;
    round.noun.answer = noun;
    round.verb.answer = verb;
    round.answerPhrase = joinWords(adjective, noun, verb);
    for (PhraseWord* word : phraseWords(round)) word->shown = hideLetters(word->answer);
    rebuildShownPhrase(round);
}

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
    rebuildShownPhrase(round);
    return matchCount;
}

bool chargeTurn(RoundState& round)
{
    round.roundPoints = std::max(round.roundPoints - pointsPerTurn, 0);
    return round.roundPoints == 0;
}

// A space in the first position is not counted.
std::optional<GuessWords> splitGuess(const std::string& line)
{
    if (line.empty() || std::count(line.begin() + 1, line.end(), ' ') != 2) return std::nullopt;
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

GuessOutcome judgeGuess(RoundState& round, const GuessWords& words)
{
    if (foldText(joinWords(words[0], words[1], words[2])) == round.answerPhrase) return GuessOutcome::win;
    const bool pointsRunOut = chargeTurn(round);
    creditWord(round.adjective, words[0]);
    creditWord(round.noun, words[1]);
    creditWord(round.verb, words[2]);
    rebuildShownPhrase(round);
    return pointsRunOut ? GuessOutcome::lost : GuessOutcome::wrong;
}

int countCreditedWords(const RoundState& round) { return static_cast<int>(creditedWords(round).size()); }

std::vector<std::string> creditedWords(const RoundState& round)
{
    std::vector<std::string> words;
    for (const PhraseWord* word : {&round.adjective, &round.noun, &round.verb}) {
        if (word->credited) words.push_back(word->answer);
    }
    return words;
}

int consolationPoints(int wordsCredited) { return 2 * wordsCredited; }
