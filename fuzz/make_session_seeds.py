#!/usr/bin/env python3
"""Writes the seed sessions of session_fuzzer into fuzz/corpus/session_fuzzer/.

Each seed is a real play session on the fuzzer's lexicon: two bytes of random
seed, then the keys typed. The phrases are worked out with the C library's own
rand(), the generator the game draws from, so the guesses in the seeds are the
ones a player would type for that seed. Run it again after changing the
fuzzer's lexicon; it writes the same files every time.
"""
import ctypes
import os
import re

ADJECTIVES = ["happy", "o", "mississippian", "sleepy", "calm"]
NOUNS = ["koalas", "bananas", "ox", "possessions", "nuns"]
VERBS = ["hum", "assassinated", "d", "nod", "sizzle"]


def lexicon_layout():
    """The file counts and reaches of lexicon/lexicon_layout.h, the game's own numbers."""
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lexicon", "lexicon_layout.h")) as file:
        header = file.read()
    full_reach = int(re.search(r"fullFileReach = (\d+);", header).group(1))
    families = {name: (int(files), int(reach)) for name, files, reach in
                re.findall(r"(\w+)Family\{\"[^\"]*\", (\d+), (\d+)\}", header)}
    return full_reach, families


FULL_FILE_REACH, LAYOUT = lexicon_layout()
FAMILIES = [(ADJECTIVES, *LAYOUT["adjective"]), (NOUNS, *LAYOUT["noun"]), (VERBS, *LAYOUT["verb"])]

ESC = "\x1b"
ENTER = "\r"
libc = ctypes.CDLL("libc.so.6")


class Session:
    """Follows the game's random draws while a script is typed."""

    def __init__(self, seed):
        self.seed = seed
        libc.srand(seed)
        self.keys = b""
        self.phrase = None
        self.points = 100

    def rand(self):
        return libc.rand() & 0x7FFF

    def type(self, text):
        self.keys += text.encode("utf-8") if isinstance(text, str) else text

    def start_round(self):
        words = []
        for family, files, last_reach in FAMILIES:
            file = self.rand() % files
            count = self.rand() % (last_reach if file == files - 1 else FULL_FILE_REACH)
            words.append(family[(max(count, 1) - 1) % len(family)])
        self.phrase = words
        self.points = 100

    def wrong_guess(self, line):
        """A guess that is not the phrase: 5 points, and a remark while points are left."""
        self.type("g" + line + ENTER)
        self.points -= 5
        if self.points > 0:
            self.rand()

    def win(self, menu="g"):
        self.type(menu + " ".join(self.phrase) + ENTER)

    def bytes(self):
        return bytes([self.seed & 0xFF, self.seed >> 8]) + self.keys


def won_at_once(seed):
    s = Session(seed)
    s.type("n" + "Ann" + ENTER)
    s.start_round()
    s.type("s")
    s.win()
    s.type("q" + ESC)
    return s


def instructions_review_loss_then_win(seed):
    s = Session(seed)
    s.type("y" + "x" + "c" + "b" + "C" + "r")
    s.type("Zo\u00eb Quinn" + ENTER)
    s.start_round()
    a, n, v = s.phrase
    s.type("a")
    s.type("r" + "1" + "2" + "3" + "4" + "5" + "6" + ESC + "7")
    s.wrong_guess(f"{a} things went")  # the adjective is credited
    s.type("?" + "e")
    s.type("rP")  # a review ended by a pass
    s.points -= 5
    for letter in "iouytrwqlk":
        s.type(letter + "p")
        s.points -= 5
    s.type("?")
    while s.points > 5:
        s.type("m" + "p")
        s.points -= 5
    s.type("z")
    s.wrong_guess(f"big {n} sing")  # the last points: a loss with two words
    s.type(ESC + "x" + "P")
    s.start_round()
    a, n, v = s.phrase
    s.type("S")
    s.wrong_guess(f"{a} {n}s {v}x")
    s.type("n")
    s.type("rg")
    s.win(menu="")
    s.type("Q" + "x" + ESC)
    return s


def quit_at_title(seed):
    s = Session(seed)
    s.type("x" + ESC + "y" + ESC)
    return s


def quit_from_instructions(seed):
    s = Session(seed)
    s.type("Y" + "c" + ESC + "q" + ESC)
    return s


def ctrl_c_in_a_guess(seed):
    s = Session(seed)
    s.type("N" + "Bo" + ENTER)
    s.start_round()
    s.type("a" + "g" + "noo")
    s.type(b"\x03")
    return s


def lost_on_twenty_guesses(seed):
    s = Session(seed)
    s.type("n" + "Al" + ENTER)
    s.start_round()
    a, n, v = s.phrase
    s.type("e")
    s.wrong_guess(f"x {n} y")
    for time in range(19):
        s.type("t")
        s.wrong_guess(f"{a}{time} {n} {v}q" if time % 2 else f"X{time} Y z")
    s.type("p")
    s.start_round()
    s.type(ESC + ESC)
    return s


def keys_with_two_codes_and_bad_lines(seed):
    s = Session(seed)
    s.type(b"\xe0\x48" + b"\x00\x3b" + b"n")
    s.type("Kim" + "\x08" + "\x08" + "e")
    s.type(b"\xe0\x4b" + b"\x1bx" + b"\x01" + ENTER.encode())
    s.start_round()
    s.type(b"\xe0\x48")  # an arrow: 224 is refused, 72 is "H"
    s.type("g" + ENTER)  # an empty line
    s.type("one" + ENTER + "two words" + ENTER + "a  b c" + ENTER + "a b c " + ENTER + "a b c d" + ENTER)
    s.type(" x y z" + ENTER)  # a leading space: accepted, wrong
    s.points -= 5
    s.rand()
    s.type("Q")
    s.type(b"\xe0\x50")
    s.type("#" + "\x03" + ESC + ESC)
    return s


def three_words_credited_apart(seed):
    s = Session(seed)
    s.type("n" + "AVeryLongNameThatGoesOn" + ENTER)
    s.start_round()
    a, n, v = s.phrase
    s.type("s")
    s.wrong_guess(f"{a} x y")
    s.type("a")
    s.wrong_guess(f"x {n} y")
    s.type("i")
    s.wrong_guess(f"x y {v}")
    s.type("o")
    s.win()
    s.type("p")
    s.start_round()
    s.type("e" + ESC + ESC)
    return s


SEEDS = {
    "won_at_once": won_at_once(1),
    "instructions_review_loss_then_win": instructions_review_loss_then_win(7),
    "quit_at_title": quit_at_title(2),
    "quit_from_instructions": quit_from_instructions(3),
    "ctrl_c_in_a_guess": ctrl_c_in_a_guess(4),
    "lost_on_twenty_guesses": lost_on_twenty_guesses(5),
    "keys_with_two_codes_and_bad_lines": keys_with_two_codes_and_bad_lines(6),
    "three_words_credited_apart": three_words_credited_apart(8),
}

if __name__ == "__main__":
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "session_fuzzer")
    os.makedirs(folder, exist_ok=True)
    for name, session in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as seed_file:
            seed_file.write(session.bytes())
