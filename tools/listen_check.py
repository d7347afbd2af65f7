#!/usr/bin/env python3
"""A stand-in listener for the spelling sounds.

Debian's speech recogniser hears every letter file of data/ against a closed
grammar of the 26 letter names, and every phonetic file against a grammar of
the 26 phonetic words. Each file is padded with 0.2 s of silence and heard
once as it is and then several times with random dither added, because the
recogniser flips on noise at the 16-bit floor. Prints what was heard for each
file, the confusions and the scores.

Usage: tools/listen_check.py [--data DIR] [--runs N] [--set letters|phonetic]
(installs pocketsphinx, its US English model and sox the first time; needs root
or sudo for that).
"""
import argparse
import collections
import os
import subprocess
import sys
import tempfile

from sound_levels import LETTERS, PHONETIC  # the names, from beside this file

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODEL = "/usr/share/pocketsphinx/model/en-us/en-us"
PACKAGES = ["pocketsphinx", "pocketsphinx-en-us", "sox"]

# How each name is said, in the recogniser's phone set. A letter has one name;
# a spelling word may be said either of the ways people say it.
LETTER_PHONES = {
    "a": ["EY"], "b": ["B IY"], "c": ["S IY"], "d": ["D IY"], "e": ["IY"], "f": ["EH F"],
    "g": ["JH IY"], "h": ["EY CH"], "i": ["AY"], "j": ["JH EY"], "k": ["K EY"],
    "l": ["EH L"], "m": ["EH M"], "n": ["EH N"], "o": ["OW"], "p": ["P IY"],
    "q": ["K Y UW"], "r": ["AA R"], "s": ["EH S"], "t": ["T IY"], "u": ["Y UW"],
    "v": ["V IY"], "w": ["D AH B AH L Y UW"], "x": ["EH K S"], "y": ["W AY"], "z": ["Z IY"],
}
PHONETIC_PHONES = {
    "alpha": ["AE L F AH"], "bravo": ["B R AA V OW"], "charlie": ["CH AA R L IY"],
    "delta": ["D EH L T AH"], "echo": ["EH K OW"], "foxtrot": ["F AA K S T R AA T"],
    "golf": ["G AA L F", "G AO L F"], "hotel": ["HH OW T EH L"],
    "india": ["IH N D IY AH"], "juliet": ["JH UW L IY EH T"],
    "kilo": ["K IY L OW", "K IH L OW"], "lima": ["L IY M AH", "L AY M AH"],
    "mike": ["M AY K"], "november": ["N OW V EH M B ER"], "oscar": ["AO S K ER"],
    "papa": ["P AA P AH", "P AH P AA"], "quebec": ["K EH B EH K", "K W AH B EH K"],
    "romeo": ["R OW M IY OW"], "sierra": ["S IY EH R AH"], "tango": ["T AE NG G OW"],
    "uniform": ["Y UW N AH F AO R M"], "victor": ["V IH K T ER"],
    "whiskey": ["W IH S K IY", "HH W IH S K IY"], "xray": ["EH K S R EY"],
    "yankee": ["Y AE NG K IY"], "zulu": ["Z UW L UW"],
}


def write_grammar(folder, name, phones):
    """A one-word grammar over the names, and its pronouncing dictionary."""
    words = sorted(phones)
    grammar = os.path.join(folder, name + ".gram")
    with open(grammar, "w") as out:
        out.write("#JSGF V1.0;\ngrammar %s;\npublic <name> = %s;\n" % (name, " | ".join(words)))
    dictionary = os.path.join(folder, name + ".dict")
    with open(dictionary, "w") as out:
        for word in words:
            for i, said in enumerate(phones[word]):
                out.write("%s %s\n" % (word if i == 0 else "%s(%d)" % (word, i + 1), said))
    return grammar, dictionary


def prepare(source, target, dithered):
    """The file at the recogniser's rate with 0.2 s of silence either side;
    with random dither (a fresh seed every call) or none."""
    effects = ["rate", "16000", "pad", "0.2", "0.2"]
    if dithered:
        command = ["sox", "-V1", source, "-b", "16", target] + effects + ["dither"]
    else:
        command = ["sox", "-R", "-D", "-V1", source, "-b", "16", target] + effects
    subprocess.run(command, check=True)


def recognise(wav, grammar, dictionary):
    """The one word the recogniser hears, or "-" for nothing."""
    result = subprocess.run(
        ["pocketsphinx_continuous", "-infile", wav, "-hmm", MODEL, "-jsgf", grammar,
         "-dict", dictionary, "-logfn", "/dev/null"],
        check=True, capture_output=True, text=True)
    words = result.stdout.split()
    return words[0] if words else "-"


def hear_set(data, names, phones, folder, runs, title):
    """For each name, what was heard: first without dither, then `runs` times
    with dither."""
    grammar, dictionary = write_grammar(folder, title, phones)
    heard = {}
    padded = os.path.join(folder, "padded.wav")
    for name in names:
        takes = []
        for run in range(runs + 1):
            prepare(os.path.join(data, name + ".wav"), padded, dithered=run > 0)
            takes.append(recognise(padded, grammar, dictionary))
        heard[name] = takes
    return heard


def print_matrix(names, heard):
    """Said (rows) against heard (columns), counted over all runs; names go by
    their initial, which is unique in both sets, and "-" is nothing heard."""
    initials = [n[0].upper() for n in names] + ["-"]
    print("  said\\heard " + "".join("%3s" % i for i in initials))
    for name in names:
        counts = collections.Counter(t[0].upper() for t in heard[name])
        print("  %-11s" % name + "".join("%3s" % (counts[i] or ".") for i in initials))


def report(title, names, heard, runs):
    """Prints the table and returns (score without dither, dithered mean)."""
    print("%s: heard without dither | with dither x%d" % (title, runs))
    confusions = collections.Counter()
    clean = 0
    dithered = [0] * runs
    for name in names:
        want = name.lower()
        takes = heard[name]
        right = [t == want for t in takes]
        clean += right[0]
        for i in range(runs):
            dithered[i] += right[i + 1]
        for t in takes:
            if t != want:
                confusions[(name, t)] += 1
        print("  %-9s %-9s | %s  %d/%d" % (name, takes[0], " ".join("%-9s" % t for t in takes[1:]),
                                           sum(right), runs + 1))
    print_matrix(names, heard)
    mean = sum(dithered) / runs if runs else float(clean)
    print("  confusions: " + (", ".join("%s as %s x%d" % (n, t, c)
                                        for (n, t), c in sorted(confusions.items())) or "none"))
    print("  always right: %d/%d" % (sum(all(t == n.lower() for t in heard[n]) for n in names),
                                     len(names)))
    print("  score: %d/%d without dither, %.1f mean with dither (%s)\n"
          % (clean, len(names), mean, " ".join(str(d) for d in dithered)))
    return clean, mean


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--data", default=os.path.join(REPO, "data"))
    parser.add_argument("--runs", type=int, default=5, help="dithered runs")
    parser.add_argument("--set", choices=["letters", "phonetic", "both"], default="both")
    args = parser.parse_args()
    subprocess.run([os.path.join(REPO, "scripts", "install-packages.sh")] + PACKAGES, check=True)
    with tempfile.TemporaryDirectory() as folder:
        if args.set in ("letters", "both"):
            heard = hear_set(args.data, LETTERS, LETTER_PHONES, folder, args.runs, "letters")
            report("Letters", LETTERS, heard, args.runs)
        if args.set in ("phonetic", "both"):
            heard = hear_set(args.data, PHONETIC, PHONETIC_PHONES, folder, args.runs, "phonetic")
            report("Phonetic words", PHONETIC, heard, args.runs)


if __name__ == "__main__":
    sys.exit(main())
