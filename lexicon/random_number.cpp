#include "lexicon/random_number.h"

#include <cstdlib>

void seedRandom(unsigned seed) { std::srand(seed); }

// Masked so that every platform draws from the same range as the Windows run-time.
int nextRandom() { return std::rand() & 0x7FFF; }
