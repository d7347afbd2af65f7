#include "round/spelling_review.h"

// Placeholder until the review is written: every review ends in a guess.
char reviewSpelling(const std::string&, const std::string&, const std::string&) { return 'g'; }

void spellLetter(char) {}

void spellPhonetic(char) {}
