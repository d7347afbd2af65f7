// The round screen: its rows, and the steps that draw on it from more than
// one file. The prompt row between the letter log and the phrase is every
// screen's (screen/screen.h).
#pragma once

#include <string>

#include "round/round_rules.h"
#include "screen/screen.h"

inline constexpr int messageRow = 1;     // greeting, match message, remarks
inline constexpr int creditRow = 2;      // the word-credit message
inline constexpr int firstGuessRow = 3;  // guesses are listed from here down
inline constexpr int reviewClearedRow = 19;
inline constexpr int letterLogRow = 21;
inline constexpr int phraseRow = 23;
inline constexpr int pointsRow = 24;

// Asks for the whole phrase until a line of three words comes, lists it,
// and judges it: the win screen, or 5 points less and word credit.
GuessOutcome guessPhrase(RoundState& round);

// A teasing remark on the message row after a wrong guess that leaves points; one
// random draw per remark.
void remarkWrongGuess();

// The fanfare, the answer on the phrase row, the points won on the points
// row and a remark on the message row chosen by the points.
void announceWin(int points, const std::string& phrase);

// The answer and the consolation for the words credited this round, which
// are added to the round's points.
void announceLoss(const std::string& phrase, int wordsCredited, int& points);
