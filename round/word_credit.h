// Word credit: every word of a wrong guess that is exactly right is revealed
// in full and counts for the rest of the round.
#pragma once

#include <string>

#include "round/round_state.h"

// The guessed words, already in lower case; a credit once given stays.
void creditWords(RoundState& round, const std::string& adjectiveGuess, const std::string& nounGuess,
                 const std::string& verbGuess);

// The credit row for one or two credited words, with their sounds; three need no message.
void writeCreditMessage(const RoundState& round);

// The phrase row with the credited words revealed.
void showCreditedPhrase(RoundState& round);
