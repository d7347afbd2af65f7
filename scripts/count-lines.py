#!/usr/bin/env python3
"""Counts code lines per folder and per test tier: non-blank lines that are not
only a comment, of git-tracked .cpp, .h, .py, .sh and CMake files. Prints the
product's, the tests' and the fuzzers' totals and tests + fuzz over product."""
import collections
import subprocess
import sys

PRODUCT = ("console", "screen", "lexicon", "round", "session")
HASH_COMMENTED = (".py", ".sh", ".cmake", "CMakeLists.txt")


def is_code(path, line):
    text = line.strip()
    if not text or text.startswith("//") or text.startswith("/*") or text.startswith("*"):
        return False
    return not (path.endswith(HASH_COMMENTED) and text.startswith("#") and not text.startswith("#!"))


def folder_of(path):
    parts = path.split("/")
    if len(parts) == 1:
        return "."
    return "/".join(parts[:2]) if parts[0] == "tests" and len(parts) > 2 else parts[0]


def main():
    files = subprocess.run(["git", "ls-files"], capture_output=True, text=True, check=True).stdout.split()
    counts = collections.Counter()
    for path in files:
        if not path.endswith((".cpp", ".h", ".py", ".sh", ".cmake", "CMakeLists.txt")):
            continue
        with open(path, errors="replace") as source:
            counts[folder_of(path)] += sum(is_code(path, line) for line in source)
    for folder, lines in sorted(counts.items()):
        print(f"{folder:22} {lines:6}")
    product = sum(counts[name] for name in PRODUCT)
    tests = sum(lines for folder, lines in counts.items() if folder.startswith("tests"))
    fuzz = counts["fuzz"]
    print(f"product {product}, tests {tests}, fuzz {fuzz}: "
          f"tests + fuzz = {(tests + fuzz) / product:.2f} x product")
    return 0


if __name__ == "__main__":
    sys.exit(main())
