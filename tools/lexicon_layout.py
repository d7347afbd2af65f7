"""The word lists' layout and the game's draw, for the lexicon tools.

The numbers (files per family, the reach of a full file and of the last one)
are read from lexicon/lexicon_layout.h, where the game takes them from, so
they are written down in one place only.
"""

import os
import re

TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))
REPO_DIR = os.path.dirname(TOOLS_DIR)
LEX_DIR = os.path.join(REPO_DIR, "lex")
LAYOUT_HEADER = os.path.join(REPO_DIR, "lexicon", "lexicon_layout.h")

# The game's random numbers run from 0 to RANDOM_RANGE - 1 on every platform.
RANDOM_RANGE = 32768

FAMILY_NAMES = {"adjectiveFamily": "adjectives", "nounFamily": "nouns", "verbFamily": "verbs"}


class Family:
    def __init__(self, name, prefix, files, last_reach, full_reach):
        self.name = name
        self.prefix = prefix  # file name without its number: "agrp"
        self.files = files
        self.last_reach = last_reach
        self.full_reach = full_reach

    def reach(self, number):
        return self.last_reach if number == self.files - 1 else self.full_reach

    def file_words(self, number):
        """Words a file holds: a full file one more than a draw can name
        (a draw of reach - 1 names the last drawable word), the last file
        exactly as many as a draw can name."""
        return self.full_reach if number < self.files - 1 else self.last_reach - 1

    def path(self, number):
        return os.path.join(LEX_DIR, "%s%d" % (self.prefix, number))

    def drawable(self, number):
        return self.reach(number) - 1


def read_layout(path=LAYOUT_HEADER):
    """family name -> Family, parsed from the layout header."""
    with open(path, encoding="utf-8") as handle:
        text = handle.read()
    full = re.search(r"fullFileReach\s*=\s*(\d+)\s*;", text)
    if not full:
        raise SystemExit("%s: no fullFileReach" % path)
    families = {}
    pattern = r'LexiconFamily\s+(\w+)\s*\{\s*"lex\\\\(\w+)"\s*,\s*(\d+)\s*,\s*(\d+)\s*\}'
    for match in re.finditer(pattern, text):
        variable, prefix, files, last_reach = match.groups()
        name = FAMILY_NAMES.get(variable)
        if name:
            families[name] = Family(name, prefix, int(files), int(last_reach), int(full.group(1)))
    if sorted(families) != sorted(FAMILY_NAMES.values()):
        raise SystemExit("%s: expected the three families, found %s" % (path, sorted(families)))
    return families


def values_below(modulus, value):
    """How many random numbers give `value` modulo `modulus`."""
    return RANDOM_RANGE // modulus + (1 if value < RANDOM_RANGE % modulus else 0)


def position_odds(family):
    """[(file number, word number from 1, chance)] for every drawable position.

    The file is the next random number modulo the file count, the word count
    the next one modulo the file's reach; a count of 0 reads word 1 too."""
    odds = []
    total = RANDOM_RANGE * RANDOM_RANGE
    for number in range(family.files):
        file_ways = values_below(family.files, number)
        reach = family.reach(number)
        for word in range(1, reach):
            ways = values_below(reach, word)
            if word == 1:
                ways += values_below(reach, 0)
            odds.append((number, word, file_ways * ways / total))
    return odds


def read_family(family):
    """The words of each file, as the game splits them."""
    files = []
    for number in range(family.files):
        with open(family.path(number), encoding="ascii") as handle:
            files.append(handle.read().split())
    return files


def draw_word(family, files, first_random, second_random):
    """The word the game reads for two random numbers."""
    number = first_random % family.files
    count = second_random % family.reach(number)
    words = files[number]
    return words[min(max(count, 1), len(words)) - 1]
