// The state of a session of rounds and of the round being played, owned by
// playSession and handed to each step by reference.
#pragma once

#include <array>
#include <string>

struct SessionState {
    int gamesPlayed = 0;         // rounds closed by an answer to the play-again prompt
    int sessionPoints = 0;       // the final points of those rounds
    std::string guessedLetters;  // this round's letters in the order played, each followed by a space
};

struct PhraseWord {
    std::string answer;     // as drawn from the lexicon
    std::string shown;      // the first letter, then each letter found so far or "-"
    bool credited = false;  // typed exactly in a wrong guess of this round; stays set
};

struct RoundState {
    PhraseWord adjective;
    PhraseWord noun;
    PhraseWord verb;
    std::string answerPhrase;
    std::string shownPhrase;
    int roundPoints = 100;  // what a correct guess still wins; 5 less per pass or wrong guess
    int guessesListed = 0;  // wrong and right guesses shown from firstGuessRow down
};

// The three words in phrase order, for the steps that treat them alike.
inline std::array<PhraseWord*, 3> phraseWords(RoundState& round) { return {&round.adjective, &round.noun, &round.verb}; }

inline int countCreditedWords(const RoundState& round)
{
    return int(round.adjective.credited) + int(round.noun.credited) + int(round.verb.credited);
}

inline std::string joinWords(const std::string& first, const std::string& second, const std::string& third)
{
    return first + " " + second + " " + third;
}

inline void rebuildShownPhrase(RoundState& round)
{
    round.shownPhrase = joinWords(round.adjective.shown, round.noun.shown, round.verb.shown);
}
