#!/usr/bin/env python3
"""Prints phrases drawn from lex/ exactly as the game draws them.

Usage: python3 tools/sample_phrases.py N SEED

Each phrase takes six random numbers from 0 to 32767, in the game's order
(adjective file, adjective count, noun file, noun count, verb file, verb
count); the file is the number modulo the family's files, the count the
number modulo the file's reach, and a count of 0 reads the first word. The
game seeds C's rand() from the clock; here a generator seeded with SEED
stands in for it, so a seed gives the same phrases every time.
"""

import random
import sys

sys.dont_write_bytecode = True
from lexicon_layout import RANDOM_RANGE, draw_word, read_family, read_layout


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: sample_phrases.py N SEED")
    count, seed = int(sys.argv[1]), int(sys.argv[2])
    families = read_layout()
    order = [families[name] for name in ("adjectives", "nouns", "verbs")]
    words = [read_family(family) for family in order]
    rng = random.Random(seed)
    for _ in range(count):
        phrase = []
        for family, files in zip(order, words):
            first, second = rng.randrange(RANDOM_RANGE), rng.randrange(RANDOM_RANGE)
            phrase.append(draw_word(family, files, first, second))
        print(" ".join(phrase))


if __name__ == "__main__":
    main()
