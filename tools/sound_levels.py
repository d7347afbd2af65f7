#!/usr/bin/env python3
"""Prints the loudness, the edge silences and the edge steps of every sound in
data/ (or the folder given), then the loudness spread of the spoken files.

- loudness: gated RMS in dBFS. The mean square over 20 ms blocks (10 ms
  apart), leaving out blocks below -70 dBFS and then blocks more than 10 dB
  under the mean of the rest, so the length of a file's quiet parts does not
  count, only how loud it sounds while it sounds.
- lead / trail: milliseconds before the first and after the last sample at or
  above -45 dBFS.
- first / last: the first and last sample values; step: the loudest sample of
  the first and of the last millisecond, in dBFS (a fade starts and ends far
  below -30 dBFS; a click is a sudden step).

Then it checks the goals a player hears (GOALS below) and fails when one is
missed: every sound clearly heard and none clipped, no dead air at either
end, the spoken files within 1 dB of their median and within 2 dB of the
tones, each group's length in its range, the tones rising step by step, and
nothing in the folder that the game does not play.

Usage: tools/sound_levels.py [DATA_DIR]
       tools/sound_levels.py --loudness FILE   (prints that file's loudness alone)
"""
import array
import math
import os
import statistics
import sys
import wave

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FULL_SCALE = 32768.0
EDGE_LEVEL = FULL_SCALE * 10 ** (-45 / 20)

LETTERS = [chr(c) for c in range(ord("A"), ord("Z") + 1)]
PHONETIC = ["alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel",
            "india", "juliet", "kilo", "lima", "mike", "november", "oscar", "papa",
            "quebec", "romeo", "sierra", "tango", "uniform", "victor", "whiskey", "xray",
            "yankee", "zulu"]
TONES = ["tone%d" % i for i in range(1, 9)]
CUES = ["blank", "wrle", "plso", "quit", "bagu", "wran", "woma", "rian1", "yes", "rian2",
        "fupo1", "fupo2", "nopo", "intr", "koal", "hum", "exit", "haha"]
# Shortest and longest seconds per group, so the spelling and the round keep their pace.
LENGTHS = [(LETTERS, 0.15, 0.75), (PHONETIC, 0.25, 1.0), (TONES, 0.2, 0.3), (["blank"], 0.02, 0.3),
           (["wrle", "bagu", "wran", "woma", "quit", "yes"], 0.1, 1.0),
           (["plso", "koal", "rian1", "rian2", "fupo1", "fupo2", "nopo"], 0.3, 1.5),
           (["intr", "hum", "exit", "haha"], 0.5, 3.0)]
AUDIBLE_PEAK, MOST_LEAD_MS, MOST_TRAIL_MS = 1036, 30, 60  # above -30 dBFS; dead air at the ends
SPOKEN_SPREAD_DB, SPEECH_OVER_TONES_DB = 1.0, 2.0


def read_samples(path):
    with wave.open(path, "rb") as wav:
        if wav.getsampwidth() != 2 or wav.getnchannels() != 1:
            raise SystemExit("%s: not 16-bit mono" % path)
        rate = wav.getframerate()
        samples = array.array("h", wav.readframes(wav.getnframes()))
    if sys.byteorder == "big":
        samples.byteswap()
    return rate, samples


def db(value):
    return 20 * math.log10(value) if value > 0 else -120.0


def gated_rms(samples, rate):
    block, hop = rate // 50, rate // 100
    powers = []
    for start in range(0, max(1, len(samples) - block + 1), hop):
        part = samples[start:start + block]
        powers.append(sum(s * s for s in part) / (len(part) * FULL_SCALE ** 2))
    loud = [p for p in powers if p > 1e-7]
    if not loud:
        return -120.0
    gate = sum(loud) / len(loud) / 10
    kept = [p for p in loud if p >= gate]
    return 10 * math.log10(sum(kept) / len(kept))


def upward_crossings(samples):
    return sum(1 for a, b in zip(samples, samples[1:]) if a < 0 <= b)


def missed_goals(names, figures):
    """The goals the sounds miss, as lines to print."""
    missed = ["%s: not played by the game" % n for n in names if n not in LETTERS + PHONETIC + TONES + CUES]
    missed += ["%s.wav is missing" % n for n in LETTERS + PHONETIC + TONES + CUES if n not in figures]
    for name in names:
        f = figures[name]
        if not AUDIBLE_PEAK < f["peak"] < 32767:
            missed.append("%s: peak %d, not clearly heard or clipped" % (name, f["peak"]))
        if f["lead"] > MOST_LEAD_MS or f["trail"] > MOST_TRAIL_MS:
            missed.append("%s: %.1f ms quiet before, %.1f ms after" % (name, f["lead"], f["trail"]))
    for group, shortest, longest in LENGTHS:
        missed += ["%s: %.3f s, not %.2f to %.2f s" % (n, figures[n]["seconds"], shortest, longest)
                   for n in group if n in figures and not shortest <= figures[n]["seconds"] <= longest]
    spoken = [figures[n]["loudness"] for n in LETTERS + PHONETIC if n in figures]
    tones = [figures[n]["loudness"] for n in TONES if n in figures]
    if spoken and tones:
        median = statistics.median(spoken)
        missed += ["%s: %+.2f dB from the spoken median" % (n, figures[n]["loudness"] - median)
                   for n in LETTERS + PHONETIC if n in figures and abs(figures[n]["loudness"] - median) > SPOKEN_SPREAD_DB]
        if abs(median - statistics.median(tones)) > SPEECH_OVER_TONES_DB:
            missed.append("speech and tones differ by %.2f dB" % (median - statistics.median(tones)))
    pitches = [figures[n]["pitch"] for n in TONES if n in figures]
    if any(low >= high for low, high in zip(pitches, pitches[1:])):
        missed.append("the tones do not rise step by step: %s Hz" % " ".join("%.0f" % p for p in pitches))
    return missed


def measure(path):
    rate, samples = read_samples(path)
    n = len(samples)
    loud = [i for i, s in enumerate(samples) if abs(s) >= EDGE_LEVEL]
    first_loud, last_loud = (loud[0], loud[-1]) if loud else (n, -1)
    ms = rate // 1000
    return {
        "seconds": n / rate,
        "peak": max((abs(s) for s in samples), default=0),
        "pitch": upward_crossings(samples[:rate // 10]) / (min(n, rate // 10) / rate) if n else 0,
        "loudness": gated_rms(samples, rate),
        "lead": 1000.0 * first_loud / rate,
        "trail": 1000.0 * (n - 1 - last_loud) / rate,
        "first": samples[0] if n else 0,
        "last": samples[-1] if n else 0,
        "step_in": db(max((abs(s) for s in samples[:ms]), default=0) / FULL_SCALE),
        "step_out": db(max((abs(s) for s in samples[-ms:]), default=0) / FULL_SCALE),
    }


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--loudness":
        rate, samples = read_samples(sys.argv[2])
        print("%.3f" % gated_rms(samples, rate))
        return
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(REPO, "data")
    names = sorted(f[:-4] for f in os.listdir(data) if f.endswith(".wav"))
    figures = {name: measure(os.path.join(data, name + ".wav")) for name in names}
    print("%-9s %7s %8s %7s %7s %6s %6s %8s %8s"
          % ("file", "seconds", "loudness", "lead", "trail", "first", "last", "step_in", "step_out"))
    for name in names:
        f = figures[name]
        print("%-9s %7.3f %8.1f %7.1f %7.1f %6d %6d %8.1f %8.1f"
              % (name, f["seconds"], f["loudness"], f["lead"], f["trail"], f["first"], f["last"],
                 f["step_in"], f["step_out"]))
    spoken = [n for n in LETTERS + PHONETIC if n in figures]
    if spoken:
        levels = [figures[n]["loudness"] for n in spoken]
        median = statistics.median(levels)
        low = min(spoken, key=lambda n: figures[n]["loudness"])
        high = max(spoken, key=lambda n: figures[n]["loudness"])
        print("\nspoken files: median %.2f dB, from %s %+.2f to %s %+.2f (spread %.2f dB)"
              % (median, low, figures[low]["loudness"] - median, high,
                 figures[high]["loudness"] - median, max(levels) - min(levels)))
        tones = [figures[n]["loudness"] for n in TONES if n in figures]
        if tones:
            print("tones: median %.2f dB; speech minus tones %+.2f dB"
                  % (statistics.median(tones), median - statistics.median(tones)))
    letters = [n for n in LETTERS if n in figures]
    print("letters: %.3f s in all, mean %.3f s" % (sum(figures[n]["seconds"] for n in letters),
                                                   sum(figures[n]["seconds"] for n in letters)
                                                   / max(1, len(letters))))
    for edge in ("lead", "trail"):
        worst = max(names, key=lambda n: figures[n][edge])
        print("longest %s silence: %s %.1f ms" % (edge, worst, figures[worst][edge]))
    worst = max(names, key=lambda n: max(abs(figures[n]["first"]), abs(figures[n]["last"])))
    print("largest end sample: %s %d / %d" % (worst, figures[worst]["first"], figures[worst]["last"]))
    worst = max(names, key=lambda n: max(figures[n]["step_in"], figures[n]["step_out"]))
    print("loudest edge millisecond: %s %.1f / %.1f dBFS"
          % (worst, figures[worst]["step_in"], figures[worst]["step_out"]))
    missed = missed_goals(names, figures)
    if missed:
        sys.exit("goals missed:\n  " + "\n  ".join(missed))
    print("every goal met")


if __name__ == "__main__":
    main()
