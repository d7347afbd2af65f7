// The game's one random source: whole numbers from 0 to 32767, the same on
// every platform, seeded once at start-up.
#pragma once

void seedRandom(unsigned seed);
int nextRandom();
