// The state of a session of rounds and of the round being played, owned by
// playSession and handed to each step by reference, and the round's rules:
// plain functions that change that state and draw nothing.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

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

inline constexpr int startingPoints = 100;
inline constexpr int pointsPerTurn = 5;  // what a pass or a wrong guess costs

struct RoundState {
    PhraseWord adjective;
    PhraseWord noun;
    PhraseWord verb;
    std::string answerPhrase;
    std::string shownPhrase;
    int roundPoints = startingPoints;  // what a correct guess still wins
    int guessesListed = 0;             // wrong and right guesses shown from the first guess row down
};

enum class GuessOutcome {
    win,    // the phrase was right: the round is over
    lost,   // wrong, and the points have run out: the round is over
    wrong,  // wrong with points left: the turn goes on to the next letter
};

using GuessWords = std::array<std::string, 3>;

std::string joinWords(const std::string& first, const std::string& second, const std::string& third);

// Letters 'A' to 'Z' become 'a' to 'z'; nothing else changes.
std::string foldText(std::string text);

// A fresh round on the drawn words: every letter after each word's first hidden.
void startRound(RoundState& round, const std::string& adjective, const std::string& noun, const std::string& verb);

// Reveals the letter at every position after each word's first where the
// answer holds it, already revealed or not; returns how many positions.
int revealLetter(RoundState& round, char letter);

// A pass or a wrong guess: 5 points less, never below 0. Returns whether the
// points have run out.
bool chargeTurn(RoundState& round);

// Three words with one space between each, after an optional leading space;
// anything else (two spaces in a row, a trailing space) is no guess.
std::optional<GuessWords> splitGuess(const std::string& line);

// Judges a guess of three words: a win, or a charge and every exactly typed
// word credited (revealed in full, for the rest of the round).
GuessOutcome judgeGuess(RoundState& round, const GuessWords& words);

int countCreditedWords(const RoundState& round);

// The credited words' answers, in phrase order.
std::vector<std::string> creditedWords(const RoundState& round);

// Two points for each word credited in a round that was lost.
int consolationPoints(int wordsCredited);
