// The game's one random source: whole numbers from 0 to 32767, the same on
// every platform, seeded once at start-up.
#pragma once

#include <cstdlib>

inline void seedRandom(unsigned seed) { std::srand(seed); }

// Masked so that every platform draws from the same range as the Windows run-time.
inline int nextRandom() { return std::rand() & 0x7FFF; }
