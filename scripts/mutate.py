#!/usr/bin/env python3
"""Mutation run: how many injected faults the test suite catches.

Mutants are made in the game's logic (round/, lexicon/, screen/, session/) and
in the console's pure code (console/ without the platform files and the test
double), by five kinds of change: comparisons, constants, arithmetic,
booleans and deleted calls. A seed picks them, spread over the files in
proportion to their code lines, so the same tree and seed always give the
same mutants. Each mutant is applied in place, built incrementally, and the
tiers run cheapest first until one fails; the file is always put back.

    scripts/mutate.py [TREE] [--tiers unit,terminal,e2e,sound,a11y] [--limit N]
                      [--seed S] [--jobs N] [--list] [--resume]

A mutant that does not compile is "invalid" and the next one of the same
file takes its place. Results go to BUILD/mutation-results.json.
"""
import argparse
import concurrent.futures
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
from pathlib import Path

GAME_FOLDERS = ("round", "lexicon", "screen", "session")
# Console files that talk to the platform, and the test double.
PLATFORM_FILE = re.compile(r"^(posix_|windows_|win32_|pulse_|sdl_|pipewire_|console_double)")
TIER_ORDER = ("unit", "terminal", "e2e", "sound", "a11y", "package", "windows")
SLOW_TIERS = ("package", "windows")
KINDS = ("comparison", "constant", "arithmetic", "boolean", "deleted call")

# ---------------------------------------------------------------- lexing

TOKEN = re.compile(r"""
    (?P<space>\s+)
  | (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<string>(?:u8|u|U|L)?R"(?P<delim>[^(\s]*)\(.*?\)(?P=delim)"|(?:u8|u|U|L)?"(?:\\.|[^"\\\n])*")
  | (?P<char>(?:u8|u|U|L)?'(?:\\.|[^'\\\n])+')
  | (?P<number>(?:0[xX][0-9a-fA-F']+|\d[\d']*(?:\.\d*)?(?:[eE][+-]?\d+)?|\.\d+(?:[eE][+-]?\d+)?)[uUlLfF]*)
  | (?P<name>[A-Za-z_]\w*)
  | (?P<op>->\*?|<<=|>>=|<=>|::|\+\+|--|&&|\|\||<<|>>|[<>!=+\-*/%&|^]=|[-+*/%<>=!&|^~?:;,.(){}\[\]#])
  | (?P<other>.)
""", re.VERBOSE | re.DOTALL)


class Token:
    __slots__ = ("kind", "text", "start", "end", "line", "spaced_before", "spaced_after")

    def __init__(self, kind, text, start, line):
        self.kind, self.text, self.start, self.end, self.line = kind, text, start, start + len(text), line
        self.spaced_before = self.spaced_after = False


def tokenize(source):
    """The code tokens of a C++ file, without comments and preprocessor lines."""
    tokens = []
    line = 1
    at_line_start = True
    position = 0
    while position < len(source):
        match = TOKEN.match(source, position)
        kind = match.lastgroup
        if kind == "delim":
            kind = "string"
        text = match.group(0)
        if kind == "op" and text == "#" and at_line_start:
            # A preprocessor line, with its continuations: #include <x> is no comparison.
            end = position
            while True:
                end = source.find("\n", end)
                if end < 0:
                    end = len(source)
                    break
                if source[end - 1] != "\\":
                    break
                end += 1
            text = source[position:end]
            kind = "preprocessor"
        if kind in ("space", "comment") and tokens:
            tokens[-1].spaced_after = True
        if kind not in ("space", "comment", "preprocessor"):
            token = Token(kind, text, position, line)
            token.spaced_before = bool(tokens and tokens[-1].spaced_after) or not tokens
            tokens.append(token)
        if kind == "preprocessor" and tokens:
            tokens[-1].spaced_after = True
        if "\n" in text:
            at_line_start = True
        elif kind not in ("space", "comment"):
            at_line_start = False
        line += text.count("\n")
        position = match.end()
    return tokens


def code_lines(source):
    """Lines holding code: not blank, not only a comment (as scripts/count-lines.py counts)."""
    count = 0
    in_block = False
    for raw in source.splitlines():
        line = raw.strip()
        while line:
            if in_block:
                end = line.find("*/")
                if end < 0:
                    line = ""
                    break
                line = line[end + 2:].strip()
                in_block = False
            elif line.startswith("//"):
                line = ""
            elif line.startswith("/*"):
                in_block = True
                line = line[2:]
            else:
                break
        if line:
            count += 1
    return count


# ---------------------------------------------------------------- operators

COMPARISON_SWAPS = {"<": ("<=", ">="), "<=": ("<", ">"), ">": (">=", "<="), ">=": (">", "<"),
                    "==": ("!=",), "!=": ("==",)}
ARITHMETIC_SWAPS = {"+": ("-",), "-": ("+",), "*": ("/",), "/": ("*",), "+=": ("-=",), "-=": ("+=",),
                    "*=": ("/=",), "/=": ("*=",), "++": ("--",), "--": ("++",)}
BOOLEAN_SWAPS = {"true": ("false",), "false": ("true",), "&&": ("||",), "||": ("&&",)}


def matching(tokens, index, opening, closing):
    """Index of the bracket that closes tokens[index], or None."""
    depth = 0
    for at in range(index, len(tokens)):
        if tokens[at].text == opening:
            depth += 1
        elif tokens[at].text == closing:
            depth -= 1
            if depth == 0:
                return at
    return None


def statement_end(tokens, index):
    """Index of the ';' ending the statement that starts at index (brackets balanced)."""
    depth = 0
    for at in range(index, len(tokens)):
        text = tokens[at].text
        if text in "([{":
            depth += 1
        elif text in ")]}":
            depth -= 1
            if depth < 0:
                return None
        elif text == ";" and depth == 0:
            return at
    return None


def starts_statement(tokens, index):
    if index == 0:
        return False
    before = tokens[index - 1].text
    if before in (";", "{", "}", "else"):
        return True
    if before == ":":
        # a case or default label, not a ternary or a range-for
        back = index - 2
        while back >= 0 and tokens[back].text not in (";", "{", "}", "case", "default", "?", "(", ")"):
            back -= 1
        return back >= 0 and tokens[back].text in ("case", "default")
    if before == ")":
        depth = 0
        for back in range(index - 1, -1, -1):
            if tokens[back].text == ")":
                depth += 1
            elif tokens[back].text == "(":
                depth -= 1
                if depth == 0:
                    return back > 0 and tokens[back - 1].text in ("if", "for", "while")
    return False


def call_statement(tokens, index):
    """The end index of a statement that is only a call (or a stream write), or None."""
    at = index
    if tokens[at].kind != "name" or tokens[at].text in ("return", "if", "for", "while", "switch", "case",
                                                         "default", "break", "continue", "else", "do",
                                                         "delete", "throw", "goto", "using", "typedef"):
        return None
    # a name, qualified and reached through members: std::sort, editor.text.erase, state->keys.push_back
    at += 1
    while at + 1 < len(tokens) and tokens[at].text in ("::", ".", "->") and tokens[at + 1].kind == "name":
        at += 2
    end = statement_end(tokens, index)
    if end is None:
        return None
    if tokens[at].text == "(":
        close = matching(tokens, at, "(", ")")
        if close is None or close + 1 != end:
            return None
        return end
    if tokens[at].text == "<<" and tokens[index].text in ("std", "cout", "cerr"):
        return end
    return None


STRING_MAKERS = ("string", "to_string", "substr", "c_str")


def joins_text(tokens, index):
    """Whether a + or - stands beside a string literal or a string made on the spot (no swap there)."""
    left, right = tokens[index - 1], tokens[index + 1] if index + 1 < len(tokens) else None
    if left.kind == "string" or (right is not None and right.kind == "string"):
        return True
    if right is not None and right.text == "std" and index + 3 < len(tokens) and tokens[index + 3].text in STRING_MAKERS:
        return True
    if left.text == ")":
        depth = 0
        for back in range(index - 1, 0, -1):
            depth += {")": 1, "(": -1}.get(tokens[back].text, 0)
            if depth == 0:
                return tokens[back - 1].text in STRING_MAKERS
    return False


def binary(tokens, index):
    token = tokens[index]
    return token.spaced_before and token.spaced_after


def integer_value(text):
    body = text.rstrip("uUlL").replace("'", "")
    if re.fullmatch(r"0[xX][0-9a-fA-F]+", body):
        return int(body, 16), "hex", text[len(body):]
    if re.fullmatch(r"\d+", body):
        return (int(body, 8) if len(body) > 1 and body[0] == "0" else int(body)), "dec", text[len(body):]
    return None, None, None


def mutants_of(path, source):
    """Every mutant the operators make in one file: dicts with where and what."""
    tokens = tokenize(source)
    found = []

    def add(kind, first, last, replacement, description):
        start, end = tokens[first].start, tokens[last].end
        found.append({"file": path, "line": tokens[first].line, "start": start, "end": end,
                      "kind": kind, "original": source[start:end], "replacement": replacement,
                      "change": description})

    in_template_head = False
    for index, token in enumerate(tokens):
        text = token.text
        previous = tokens[index - 1].text if index else ""
        if text == "template":
            in_template_head = True
        if text in COMPARISON_SWAPS and token.kind == "op" and binary(tokens, index) and not in_template_head \
                and previous != "operator":
            for swap in COMPARISON_SWAPS[text]:
                add("comparison", index, index, swap, f"{text} -> {swap}")
        if in_template_head and text == ">":
            in_template_head = False
        if token.kind == "number":
            value, base, suffix = integer_value(text)
            if value is not None and previous not in ("[[",):
                new = 1 if value == 0 else 0 if value == 1 else value + 1
                new_text = (hex(new) if base == "hex" else str(new)) + suffix
                add("constant", index, index, new_text, f"{text} -> {new_text}")
        if token.kind == "op" and text in ARITHMETIC_SWAPS:
            if text in ("++", "--"):
                # ++x; x++; in a loop step or a statement of its own
                neighbour_is_name = (index + 1 < len(tokens) and tokens[index + 1].kind == "name") or \
                                    (tokens[index - 1].kind == "name" or previous in (")", "]"))
                if neighbour_is_name:
                    swap = ARITHMETIC_SWAPS[text][0]
                    add("arithmetic", index, index, swap, f"{text} -> {swap}")
            elif binary(tokens, index) and not (text in ("+", "-", "+=", "-=") and joins_text(tokens, index)):
                swap = ARITHMETIC_SWAPS[text][0]
                add("arithmetic", index, index, swap, f"{text} -> {swap}")
        if text in BOOLEAN_SWAPS and (token.kind == "name" or binary(tokens, index)):
            swap = BOOLEAN_SWAPS[text][0]
            add("boolean", index, index, swap, f"{text} -> {swap}")
        if text == "!" and token.kind == "op":
            found.append({"file": path, "line": token.line, "start": token.start, "end": token.end,
                          "kind": "boolean", "original": "!", "replacement": "", "change": "! removed"})
        if token.kind == "name" and starts_statement(tokens, index):
            end = call_statement(tokens, index)
            if end is not None:
                start, stop = tokens[index].start, tokens[end].end
                statement = " ".join(source[start:stop].split())
                shown = statement if len(statement) <= 60 else statement[:57] + "..."
                found.append({"file": path, "line": token.line, "last_line": tokens[end].line, "start": start, "end": stop,
                              "kind": "deleted call", "original": source[start:stop], "replacement": ";",
                              "change": f"deleted `{shown}`"})
    return found


# ---------------------------------------------------------------- choosing

def mutated_files(tree):
    files = []
    for folder in GAME_FOLDERS:
        files += sorted((tree / folder).rglob("*.cpp"))
    files += [path for path in sorted((tree / "console").rglob("*.cpp")) if not PLATFORM_FILE.match(path.name)]
    return [path.relative_to(tree).as_posix() for path in files]


def apportion(total, weights, capacity):
    """Shares of total in proportion to weights (largest remainder), none above its capacity."""
    shares = {name: 0 for name in weights}
    left = total
    open_names = [name for name in weights if capacity[name] > 0 and weights[name] > 0]
    while left > 0 and open_names:
        weight_sum = sum(weights[name] for name in open_names)
        exact = {name: left * weights[name] / weight_sum for name in open_names}
        given = {name: min(int(exact[name]), capacity[name] - shares[name]) for name in open_names}
        rest = left - sum(given.values())
        for name in sorted(open_names, key=lambda name: (-(exact[name] - int(exact[name])), name)):
            if rest <= 0:
                break
            if shares[name] + given[name] < capacity[name]:
                given[name] += 1
                rest -= 1
        if sum(given.values()) == 0:
            break
        for name in open_names:
            shares[name] += given[name]
        left = total - sum(shares.values())
        open_names = [name for name in open_names if shares[name] < capacity[name]]
    return shares


def plan_mutants(tree, seed, count):
    """For each file: its quota of valid mutants, and its candidates in the seed's order."""
    files = mutated_files(tree)
    weights, candidates = {}, {}
    for path in files:
        source = (tree / path).read_text(encoding="utf-8")
        weights[path] = code_lines(source)
        rng = random.Random(f"{seed}:{path}")
        by_kind = {kind: [] for kind in KINDS}
        for mutant in mutants_of(path, source):
            by_kind[mutant["kind"]].append(mutant)
        for kind in KINDS:
            rng.shuffle(by_kind[kind])
        # The kinds take turns, so each file gets a mix rather than mostly its most common kind.
        kinds = [kind for kind in KINDS if by_kind[kind]]
        rng.shuffle(kinds)
        ordered = []
        while any(by_kind[kind] for kind in kinds):
            for kind in kinds:
                if by_kind[kind]:
                    ordered.append(by_kind[kind].pop())
        candidates[path] = ordered
    quota = apportion(count, weights, {path: len(candidates[path]) for path in files})
    return files, weights, quota, candidates


def mutant_key(mutant, digest):
    return f"{mutant['file']}@{digest}:{mutant['start']}-{mutant['end']}:{mutant['replacement']}"


# ---------------------------------------------------------------- running

class Interrupted(Exception):
    pass


STOPPING = threading.Event()  # set when the run is stopped: every job puts its file back and ends


def stop_on_signal(number, frame):
    raise Interrupted(signal.Signals(number).name)


class Runner:
    """One source tree and its build: a mutant is applied, built, tested and put back here."""

    def __init__(self, tree, build, options, log):
        self.tree, self.build, self.options, self.log = tree, build, options, log
        self.child = None
        self.excluded = {}  # tier -> test names that fail unmutated
        self.coverage = None

    def run(self, command, timeout=None, cwd=None):
        """Runs a command in its own process group; returns (status, output, timed out)."""
        if STOPPING.is_set():
            raise Interrupted("stopping")
        started = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                   text=True, errors="replace", start_new_session=True)
        self.child = started
        try:
            output, _ = started.communicate(timeout=timeout)
            return started.returncode, output, False
        except subprocess.TimeoutExpired:
            self.end_child(started)
            output, _ = started.communicate()
            return -1, output, True
        finally:
            self.end_child(started)
            self.child = None

    def end_child(self, process):
        if process.poll() is not None:
            return
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(process.pid, sig)
            except ProcessLookupError:
                return
            try:
                process.wait(timeout=5)
                return
            except subprocess.TimeoutExpired:
                pass

    def end_strays(self):
        """Games and helpers from this build left behind by a test that was stopped."""
        marker = str(self.build)
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                command = Path(f"/proc/{entry}/cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
            except OSError:
                continue
            if marker in command and "mutate.py" not in command:
                try:
                    os.kill(int(entry), signal.SIGKILL)
                except OSError:
                    pass

    def configure(self):
        if (self.build / "CMakeCache.txt").exists():
            return
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        status, output, _ = self.run(["cmake", "-S", str(self.tree), "-B", str(self.build), *generator,
                                      "-DCMAKE_BUILD_TYPE=Debug", "-DHKH_TESTS=ON", "-DHKH_WERROR=OFF",
                                      "-DHKH_SANITIZE=OFF", "-DHKH_FUZZ=OFF", "-DHKH_BENCH=OFF"])
        if status != 0:
            sys.exit(f"configuring {self.build} failed:\n{output[-3000:]}")

    def build_all(self):
        return self.run(["cmake", "--build", str(self.build), f"-j{self.options.build_jobs}"])

    def objects_of(self, path):
        """The object files made from one source (Ninja only), to tell a compile error from the rest."""
        if not (self.build / "build.ninja").exists():
            return []
        if not hasattr(self, "_objects"):
            status, output, _ = self.run(["ninja", "-C", str(self.build), "-t", "targets", "all"])
            self._objects = [line.split(":")[0] for line in output.splitlines() if line.split(":")[0].endswith(".o")]
        found = []
        for target in self._objects:
            folder, _, rest = target.partition("CMakeFiles/")
            source = rest.partition(".dir/")[2]
            if rest and (folder + source) == path + ".o":
                found.append(target)
        return found

    def programs_of(self, tier):
        """The build outputs a tier's tests run (Ninja targets), or None when one is not a build output."""
        if not hasattr(self, "_programs"):
            self._programs = {}
        if tier not in self._programs:
            status, output, _ = self.run(["ctest", "--test-dir", str(self.build), "--show-only=json-v1",
                                          "-L", f"^{tier}$"])
            programs = set()
            try:
                for test in json.loads(output).get("tests", []):
                    program = Path(test["command"][0]).resolve()
                    programs.add(program.relative_to(self.build.resolve()).as_posix())
            except (ValueError, KeyError, IndexError):
                programs = None
            self._programs[tier] = sorted(programs) if programs else None
        return self._programs[tier]

    def tier_tests(self, tier):
        status, output, _ = self.run(["ctest", "--test-dir", str(self.build), "-N", "-L", f"^{tier}$"])
        # A parameterised case's name goes on past spaces ("...ctrl_c  # GetParam() = ...").
        return re.findall(r"Test\s+#\d+: (.+?)\s*$", output, re.M)

    def run_tier(self, tier, timeout, tests=None):
        """Runs one tier, or those of its tests named; returns (passed, failing tests, seconds, timed out)."""
        command = ["ctest", "--test-dir", str(self.build), "-L", f"^{tier}$", "-j2", "--stop-on-failure",
                   "--timeout", str(int(timeout))]
        excluded = self.excluded.get(tier)
        if tests:
            command += ["-R", exact_names(tests)]
        elif excluded:
            command += ["-E", exact_names(excluded)]
        started = time.monotonic()
        status, output, timed_out = self.run(command, timeout=timeout + 60)
        if timed_out:
            self.end_strays()
        failed = failed_names(output)
        if status != 0 and not failed and "No tests were found" in output:
            status = 0
        return status == 0, failed, time.monotonic() - started, timed_out

    def confirm(self, failed, timeout):
        """Runs failing tests once more: a kill counts only if it fails again (servers under load can stumble)."""
        if not failed:
            return True
        pattern = exact_names(failed)
        status, output, timed_out = self.run(["ctest", "--test-dir", str(self.build), "-R", pattern,
                                              "--timeout", str(int(timeout))], timeout=timeout + 60)
        if timed_out:
            self.end_strays()
        return status != 0

    def baseline(self, tiers):
        """Runs the tiers on the unmutated tree; a tier or test that fails here is left out, and said so."""
        status, output, _ = self.build_all()
        if status != 0:
            sys.exit(f"the unmutated tree does not build:\n{output[-3000:]}")
        kept, times = [], {}
        for tier in tiers:
            names = self.tier_tests(tier)
            if not names:
                self.log(f"baseline: no tests labelled {tier}; tier left out")
                continue
            passed, failed, seconds, timed_out = self.run_tier(tier, self.options.timeout_cap)
            if not passed:
                # Run the whole tier through, twice, to know every test that fails unmutated.
                bad = set()
                for _ in range(2):
                    status, output, _ = self.run(["ctest", "--test-dir", str(self.build), "-L", f"^{tier}$",
                                                  "-j2", "--timeout", str(self.options.timeout_cap)],
                                                 timeout=self.options.timeout_cap * 4)
                    bad |= set(failed_names(output))
                bad |= set(failed)
                if timed_out or len(bad) >= len(names):
                    self.log(f"baseline: tier {tier} fails on the unmutated tree ({', '.join(sorted(bad)) or 'timed out'}); tier left out")
                    continue
                self.excluded[tier] = sorted(bad)
                self.log(f"baseline: {tier}: {len(bad)} of {len(names)} tests fail unmutated and are left out: "
                         + ", ".join(sorted(bad)))
                passed, failed, seconds, timed_out = self.run_tier(tier, self.options.timeout_cap)
                if not passed:
                    self.log(f"baseline: tier {tier} still fails without them; tier left out")
                    continue
            kept.append(tier)
            times[tier] = seconds
            self.log(f"baseline: {tier}: {len(names) - len(self.excluded.get(tier, []))} tests pass in {seconds:.1f} s")
        return kept, times

    def try_mutant(self, mutant, tiers, times):
        """Applies, builds and tests one mutant; the file is put back whatever happens."""
        path = self.tree / mutant["file"]
        original = path.read_bytes()
        backup = self.build / "mutation-backup" / mutant["file"]
        backup.parent.mkdir(parents=True, exist_ok=True)
        backup.write_bytes(original)
        text = original.decode("utf-8")
        started = time.monotonic()
        result = {"status": "survived", "tier": None, "tests": []}
        try:
            path.write_text(text[:mutant["start"]] + mutant["replacement"] + text[mutant["end"]:], encoding="utf-8")
            objects = self.objects_of(mutant["file"])
            if objects:
                status, output, _ = self.run(["ninja", "-C", str(self.build), *objects])
                if status != 0:
                    result["status"] = "invalid"
                    return result
            result["unreached"] = []
            built = set()
            for tier in tiers:
                tests = self.coverage.tests_reaching(tier, mutant) if self.coverage is not None else None
                if tests == []:
                    result["unreached"].append(tier)
                    continue
                # The first tier run links only its own programs (the unit tier needs no game or
                # sound programs); any later tier has everything built.
                targets = self.programs_of(tier) if objects and not built else None
                if "all" not in built and not (targets and set(targets) <= built):
                    status, output, _ = self.run(["ninja", "-C", str(self.build), *targets]) if targets \
                        else self.build_all()
                    built |= set(targets) if targets else {"all"}
                    if status != 0:
                        if objects:
                            # It compiles but the build fails: a test listing that crashes, say.
                            result.update(status="killed", tier="build", tests=[])
                        else:
                            result["status"] = "invalid"
                        return result
                limit = min(self.options.timeout_cap, max(30.0, 3 * times[tier] + 10))
                passed, failed, seconds, timed_out = self.run_tier(tier, limit, tests)
                if passed:
                    continue
                if timed_out or tier not in self.options.confirm_tiers or self.confirm(failed, limit):
                    result.update(status="killed", tier=tier, tests=failed or ["(timed out)"])
                    return result
                self.log(f"    {tier} failed once and passed again ({', '.join(failed)}): not counted")
            return result
        finally:
            path.write_bytes(original)
            backup.unlink()
            result["seconds"] = round(time.monotonic() - started, 1)

    def restore_leftovers(self):
        """Puts back files an earlier run could not (killed with SIGKILL, say)."""
        backups = self.build / "mutation-backup"
        if not backups.exists():
            return
        for backup in backups.rglob("*"):
            if backup.is_file():
                target = self.tree / backup.relative_to(backups)
                target.write_bytes(backup.read_bytes())
                backup.unlink()
                self.log(f"put back {target} from an interrupted run")


def tracked_files(tree):
    listed = subprocess.run(["git", "-C", str(tree), "ls-files", "-co", "--exclude-standard", "-z"],
                            capture_output=True, check=True).stdout.decode().split("\0")
    return [name for name in listed if name and (tree / name).is_file()]


def lines_of(mutant):
    return range(mutant["line"], mutant.get("last_line", mutant["line"]) + 1)


class Coverage:
    """Which lines each test executes, from a build of its own with --coverage.

    A test that never executes a mutant's lines cannot catch it, so it is not
    run for that mutant. For a line gcov knows no code for (a constant in a
    table, say), the tests that execute any line of its file run; a file with no
    code at all runs every test. A tier of many tests (the unit tier, which is
    fast anyway) is measured as a whole."""

    PER_TEST_LIMIT = 40

    def __init__(self, runner, tiers, log):
        self.runner, self.tiers, self.log = runner, tiers, log
        self.executed = {}    # tier -> test (or "*" for the whole tier) -> file -> lines run
        self.executable = {}  # file -> lines holding code

    def fingerprint(self):
        return tree_fingerprint(self.runner.tree, self.tiers, self.runner.excluded, self.PER_TEST_LIMIT)

    def measure(self, files):
        runner = self.runner
        build = runner.build / "coverage"
        fingerprint = self.fingerprint()
        cache = runner.build / "mutation-coverage.json"
        if cache.exists():
            saved = json.loads(cache.read_text())
            if saved.get("fingerprint") == fingerprint:
                self.executable = {k: set(v) for k, v in saved["executable"].items()}
                self.executed = {t: {n: {k: set(v) for k, v in f.items()} for n, f in tests.items()}
                                 for t, tests in saved["executed"].items()}
                self.log("coverage: reused from an earlier run of the same tree")
                return
        self.log("coverage: building with --coverage and running each test once")
        if not (build / "CMakeCache.txt").exists():
            generator = ["-G", "Ninja"] if shutil.which("ninja") else []
            status, output, _ = runner.run(["cmake", "-S", str(runner.tree), "-B", str(build), *generator,
                                            "-DCMAKE_BUILD_TYPE=Debug", "-DHKH_TESTS=ON", "-DHKH_WERROR=OFF",
                                            "-DHKH_SANITIZE=OFF", "-DCMAKE_CXX_FLAGS=--coverage",
                                            "-DCMAKE_EXE_LINKER_FLAGS=--coverage"])
            if status != 0:
                sys.exit(f"configuring {build} failed:\n{output[-3000:]}")
        status, output, _ = runner.run(["cmake", "--build", str(build), f"-j{runner.options.build_jobs}"])
        if status != 0:
            sys.exit(f"the coverage build failed:\n{output[-3000:]}")
        wanted = set(files)
        for tier in self.tiers:
            started = time.monotonic()
            names = [n for n in runner.tier_tests(tier) if n not in runner.excluded.get(tier, [])]
            groups = [(n, ["-R", exact_names([n])]) for n in names] if len(names) <= self.PER_TEST_LIMIT \
                else [("*", ["-E", exact_names(runner.excluded[tier])] if runner.excluded.get(tier) else [])]
            for test, selection in groups:
                for stale in build.rglob("*.gcda"):
                    stale.unlink()
                runner.run(["ctest", "--test-dir", str(build), "-L", f"^{tier}$", "-j2", *selection,
                            "--timeout", str(runner.options.timeout_cap)], timeout=runner.options.timeout_cap * 4)
                self.executed.setdefault(tier, {})[test] = self.read_counts(build, wanted)
            lines = set()
            for test_files in self.executed[tier].values():
                lines |= {(f, n) for f, numbers in test_files.items() for n in numbers}
            self.log(f"coverage: {tier} ({len(groups)} run{'s' if len(groups) > 1 else ''}) executes "
                     f"{len(lines)} lines of the mutated files ({time.monotonic() - started:.0f} s)")
        cache.write_text(json.dumps({"fingerprint": fingerprint, "executable": {
            k: sorted(v) for k, v in self.executable.items()}, "executed": {
            t: {n: {k: sorted(v) for k, v in f.items()} for n, f in tests.items()}
            for t, tests in self.executed.items()}}))

    def read_counts(self, build, wanted):
        """The lines of the wanted files that the last run executed, from its .gcda files."""
        runner = self.runner
        executed = {}
        for folder in sorted({gcda.parent for gcda in build.rglob("*.gcda")}):
            gcdas = sorted(str(gcda) for gcda in folder.glob("*.gcda"))
            status, output, _ = runner.run(["gcov", "-j", "-t", "-o", str(folder), *gcdas], cwd=str(build))
            for document in output.splitlines():
                if not document.startswith("{"):
                    continue
                for entry in json.loads(document).get("files", []):
                    source = Path(entry["file"])
                    if not source.is_absolute():
                        source = build / source
                    try:
                        name = source.resolve().relative_to(runner.tree.resolve()).as_posix()
                    except ValueError:
                        continue
                    if name not in wanted:
                        continue
                    for line in entry.get("lines", []):
                        self.executable.setdefault(name, set()).add(line["line_number"])
                        if line["count"] > 0:
                            executed.setdefault(name, set()).add(line["line_number"])
        return executed

    def tests_reaching(self, tier, mutant):
        """The tests of a tier that may catch the mutant: None for the whole tier, [] for none."""
        tests = self.executed.get(tier)
        if tests is None:
            return None
        code = self.executable.get(mutant["file"])
        if not code:
            return None
        lines = set(lines_of(mutant))
        if lines & code:
            reaching = [n for n, files in tests.items() if lines & files.get(mutant["file"], set())]
        else:
            reaching = [n for n, files in tests.items() if files.get(mutant["file"])]
        return None if "*" in reaching else sorted(reaching)


def tree_fingerprint(tree, *settings):
    """What the tree holds (every tracked file but this script) and the settings given."""
    digest = hashlib.sha256()
    for name in tracked_files(tree):
        if name != "scripts/mutate.py":
            digest.update(name.encode() + b"\0" + (tree / name).read_bytes())
    digest.update(json.dumps(settings, sort_keys=True).encode())
    return digest.hexdigest()


def failed_names(output):
    """The tests ctest lists as failed, whole names (a parameterised case's holds spaces)."""
    return re.findall(r"^\s*\d+ - (.+?) \((?:Failed|Timeout|SEGFAULT|Subprocess aborted|Exception|Not Run|Child aborted|ILLEGAL|BUS|OTHER_FAULT|[^()]*)\)\s*$", output, re.M)


def exact_names(names):
    """A CTest regular expression matching exactly these test names."""
    return "^(" + "|".join(re.sub(r"([.\[\]()*+?^$|\\])", r"\\\1", name) for name in names) + ")$"


def copy_tree(tree, destination):
    """A job's own copy of the sources (tracked and new files, no build folders)."""
    for name in tracked_files(tree):
        source = tree / name
        target = destination / name
        if target.exists() and target.read_bytes() == source.read_bytes():
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(source, target)


# ---------------------------------------------------------------- report

def summary(mutants, tiers, log):
    valid = [m for m in mutants if m.get("status") in ("killed", "survived")]
    killed = [m for m in valid if m["status"] == "killed"]
    invalid = [m for m in mutants if m.get("status") == "invalid"]
    log("")
    log(f"mutants tried {len(valid) + len(invalid)}, invalid {len(invalid)}, valid {len(valid)}, "
        f"killed {len(killed)}, survived {len(valid) - len(killed)}")
    if valid:
        log(f"kill rate {100.0 * len(killed) / len(valid):.1f}% ({len(killed)}/{len(valid)})")
    for tier in ["build"] + list(tiers):
        count = sum(1 for m in killed if m["tier"] == tier)
        if count or tier != "build":
            log(f"  killed by {tier:<9} {count}")
    for kind in KINDS:
        of_kind = [m for m in valid if m["kind"] == kind]
        if of_kind:
            log(f"  {kind:<13} {sum(1 for m in of_kind if m['status'] == 'killed')}/{len(of_kind)} killed")
    survivors = [m for m in valid if m["status"] == "survived"]
    if survivors:
        log("survivors:")
        for m in survivors:
            unreached = m.get("unreached") or []
            note = "  [executed by no tier]" if unreached and set(unreached) >= set(tiers) else \
                f"  [not executed by {', '.join(unreached)}]" if unreached else ""
            log(f"  {m['file']}:{m['line']}  {m['change']}{note}")
    seconds = [m["seconds"] for m in valid if "seconds" in m]
    if seconds:
        log(f"time per valid mutant: mean {sum(seconds) / len(seconds):.1f} s, "
            f"longest {max(seconds):.1f} s")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("tree", nargs="?", default=str(Path(__file__).resolve().parent.parent),
                        help="the worktree to mutate (default: the one holding this script)")
    parser.add_argument("--build-dir", help="build folder (default TREE/build-mutation)")
    parser.add_argument("--tiers", default="unit,terminal,e2e,sound,a11y",
                        help="CTest labels to run, cheapest first (default %(default)s; "
                             "a tier the tree lacks is left out)")
    parser.add_argument("--slow-tiers", action="store_true", help="also run the package and windows tiers")
    parser.add_argument("--limit", "--count", type=int, default=130, dest="count",
                        help="valid mutants to make (default %(default)s)")
    parser.add_argument("--seed", default="26", help="picks the mutants (default %(default)s)")
    parser.add_argument("--jobs", type=int, default=1,
                        help="mutants tried at once, each job in its own copy of the tree and build "
                             "(default 1: in place)")
    parser.add_argument("--build-jobs", type=int, default=2, help="build parallelism (default 2)")
    parser.add_argument("--timeout-cap", type=int, default=300, help="longest any tier may run, seconds")
    parser.add_argument("--no-coverage", action="store_true",
                        help="run every tier on every mutant that the cheaper tiers miss, even a tier "
                             "that never executes the mutated line (slower; same figures but for flaky kills)")
    parser.add_argument("--confirm-tiers", default="terminal,e2e,sound,a11y,package,windows",
                        help="tiers whose failing tests run once more, a kill counting only if they fail "
                             "again (real terminals and servers under load); the unit tier on the double "
                             "is taken at its word (default %(default)s)")
    parser.add_argument("--prepare", action="store_true",
                        help="build, run the baseline and measure coverage, then stop; the next run of the "
                             "unchanged tree reuses all three and starts with the mutants")
    parser.add_argument("--list", action="store_true", help="print the candidate mutants and quotas; run nothing")
    parser.add_argument("--resume", action="store_true",
                        help="reuse results of an earlier run for mutants of unchanged files")
    parser.add_argument("--results", help="results file (default BUILD/mutation-results.json)")
    options = parser.parse_args()

    options.confirm_tiers = {t.strip() for t in options.confirm_tiers.split(",")}
    tree = Path(options.tree).resolve()
    build = Path(options.build_dir).resolve() if options.build_dir else tree / "build-mutation"
    results_path = Path(options.results) if options.results else build / "mutation-results.json"
    lock = threading.Lock()
    stopping = STOPPING

    def log(message):
        with lock:
            print(message, flush=True)

    files, weights, quota, candidates = plan_mutants(tree, options.seed, options.count)
    total_candidates = sum(len(c) for c in candidates.values())
    log(f"tree {tree}, seed {options.seed}: {len(files)} files, {sum(weights.values())} code lines, "
        f"{total_candidates} candidate mutants, {sum(quota.values())} to make")
    if options.list:
        for path in files:
            log(f"  {path:<34} {weights[path]:>4} lines  {len(candidates[path]):>4} candidates  quota {quota[path]}")
            for mutant in candidates[path][:quota[path]]:
                log(f"      {mutant['file']}:{mutant['line']}  {mutant['kind']}: {mutant['change']}")
        return

    os.nice(19)
    for number in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, stop_on_signal)

    tiers = [t.strip() for t in options.tiers.split(",") if t.strip()]
    if options.slow_tiers:
        tiers += [t for t in SLOW_TIERS if t not in tiers]
    elif any(t in SLOW_TIERS for t in tiers):
        log("note: package and windows tiers take minutes per mutant")
    tiers.sort(key=lambda t: TIER_ORDER.index(t) if t in TIER_ORDER else len(TIER_ORDER))

    build.mkdir(parents=True, exist_ok=True)
    main_runner = Runner(tree, build, options, log)
    main_runner.restore_leftovers()
    if options.jobs > 1:
        runners = []
        for job in range(options.jobs):
            job_tree = build / "jobs" / str(job) / "source"
            copy_tree(tree, job_tree)
            runners.append(Runner(job_tree, build / "jobs" / str(job) / "build", options, log))
    else:
        runners = [main_runner]

    digests = {path: hashlib.sha256((tree / path).read_bytes()).hexdigest()[:16] for path in files}
    earlier = {}
    if options.resume and results_path.exists():
        for m in json.loads(results_path.read_text()).get("mutants", []):
            earlier[m["key"]] = m

    run_started = time.monotonic()
    done = []
    kept = tiers
    try:
        for runner in runners:
            runner.configure()
        # A baseline of this very tree, from a --prepare run, is reused once.
        baseline_cache = build / "mutation-baseline.json"
        fingerprint = tree_fingerprint(tree, tiers, options.jobs)
        saved = json.loads(baseline_cache.read_text()) if baseline_cache.exists() else {}
        if saved.get("fingerprint") == fingerprint and not options.prepare:
            baseline_cache.unlink()
            kept, times = saved["kept"], saved["times"]
            for runner in runners:
                runner.excluded = saved["excluded"]
                status, output, _ = runner.build_all()
                if status != 0:
                    sys.exit(f"the unmutated tree does not build:\n{output[-3000:]}")
            log(f"baseline: reused from the --prepare run of this same tree: tiers {', '.join(kept)}"
                + "".join(f"; {t} leaves out {', '.join(n)}" for t, n in saved["excluded"].items() if n))
        else:
            log("building and running the tiers on the unmutated tree (baseline)")
            if len(runners) == 1:
                baselines = [runners[0].baseline(tiers)]
            else:
                with concurrent.futures.ThreadPoolExecutor(len(runners)) as pool:
                    baselines = list(pool.map(lambda runner: runner.baseline(tiers), runners))
            kept = [t for t in tiers if all(t in b[0] for b in baselines)]
            times = {t: max(b[1][t] for b in baselines) for t in kept}
            for runner in runners:
                runner.excluded = {t: sorted(set().union(*(r.excluded.get(t, []) for r in runners))) for t in kept}
        # Cheapest first, as measured: the expensive tiers see only what the cheap ones let through.
        kept.sort(key=lambda t: times[t])
        if not options.no_coverage:
            coverage = Coverage(main_runner if options.jobs == 1 else runners[0], kept, log)
            coverage.measure(files)
            for runner in runners:
                runner.coverage = coverage
        if options.prepare:
            baseline_cache.write_text(json.dumps({"fingerprint": fingerprint, "kept": kept, "times": times,
                                                  "excluded": runners[0].excluded}))
            log("prepared: the next run of this same tree starts with the mutants")
            return
        log(f"tiers run, cheapest first: {', '.join(f'{t} ({times[t]:.0f} s)' for t in kept) or 'none'}")
        if not kept:
            sys.exit("no tier passes on the unmutated tree")

        work = [path for path in files if quota[path] > 0]
        # Longest files first, so the jobs finish together.
        work.sort(key=lambda path: -quota[path])
        queue = list(work)
        counter = {"n": 0}
        target = sum(quota.values())

        def save():
            with lock:
                kept_done = sorted(done, key=lambda m: (m["file"], m["start"], m["replacement"]))
                results_path.write_text(json.dumps({
                    "tree": str(tree), "seed": options.seed, "tiers": kept, "excluded": main_runner.excluded
                    if options.jobs == 1 else runners[0].excluded, "baseline_seconds": times,
                    "mutants": [{k: v for k, v in m.items() if k not in ("start", "end")} | {"offset": m["start"]}
                                for m in kept_done]}, indent=1) + "\n")

        def work_on(runner):
            while not stopping.is_set():
                with lock:
                    if not queue:
                        return
                    path = queue.pop(0)
                valid = 0
                for mutant in candidates[path]:
                    if valid >= quota[path] or stopping.is_set():
                        break
                    key = mutant_key(mutant, digests[path])
                    if key in earlier:
                        outcome = {k: earlier[key][k] for k in ("status", "tier", "tests", "seconds", "unreached")
                                   if k in earlier[key]}
                    else:
                        outcome = runner.try_mutant(mutant, kept, times)
                    record = dict(mutant, key=key, **outcome)
                    if record["status"] != "invalid":
                        valid += 1
                    with lock:
                        done.append(record)
                        if record["status"] != "invalid":
                            counter["n"] += 1
                        n = counter["n"]
                    shown = {"killed": f"killed by {record['tier']}" + (f" ({record['tests'][0]})" if record["tests"] else ""),
                             "survived": "SURVIVED", "invalid": "invalid (does not compile)"}[record["status"]]
                    if record["status"] == "survived" and record.get("unreached"):
                        shown += f" (not executed by {', '.join(record['unreached'])})"
                    log(f"[{n:>3}/{target}] {mutant['file']}:{mutant['line']}  {mutant['change']}  -> {shown}"
                        f"  {record.get('seconds', 0):.1f} s")
                    save()

        if len(runners) == 1:
            work_on(runners[0])  # in this thread, so Ctrl-C reaches the mutant's try/finally
        else:
            pool = concurrent.futures.ThreadPoolExecutor(len(runners))
            futures = [pool.submit(work_on, runner) for runner in runners]
            try:
                while not all(future.done() for future in futures):
                    time.sleep(0.5)
                for future in futures:
                    future.result()
            finally:
                stopping.set()
                pool.shutdown(wait=True)
    except (KeyboardInterrupt, Interrupted) as stop:
        log(f"stopped ({stop.__class__.__name__}); every file is put back")
        stopping.set()
        for runner in runners:
            if runner.child is not None:
                runner.end_child(runner.child)
        summary(done, kept, log)
        sys.exit(130)
    finally:
        main_runner.restore_leftovers()
    summary(done, kept, log)
    log(f"total {time.monotonic() - run_started:.0f} s; results in {results_path}")


if __name__ == "__main__":
    main()
