#!/usr/bin/env python3
"""Plays one fixed session of the game as a blind player hears it, through two
screen readers, and prints what each would have spoken, with times.

  tools/hear_with_readers.py GAME [yasr|orca ...] [--short]

--short plays a short session, with a tenth of a second of tone in place of
each shipped sound: what is spoken is heard, not how long the sounds last.

yasr reads the game on its own pseudo-terminal inside tmux and speaks to a
stand-in speech server (the speech-dispatcher protocol) that logs each
utterance. Orca reads a VTE terminal (sakura) under Xvfb on a private D-Bus
session; the game is started from bash in it by typing the command, as a
player does, and what Orca would speak is read from its debug file after it
exits (it writes the file block-buffered). Keys go in only when the game
waits for one (its main thread in ppoll with no timeout), and after a second
more, so the reader has had its chance to speak.

Every lexicon file holds one word, so the phrase is "sleepy koalas hum".
"""
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PHRASE = ("sleepy", "koalas", "hum")
NAME = "Ann"
# (keys, what they answer); "\r" is Enter, "\x1b" Escape.
FULL_SESSION = [
    ("n", "instructions?"), (NAME + "\r", "name"),
    ("a", "letter"), ("r", "menu"), ("1", "review"), ("g", "review"), ("sleepy cats hum\r", "guess"),
    ("e", "letter"), ("g", "menu"), (" ".join(PHRASE) + "\r", "guess"),
    ("p", "play again?"), ("o", "letter"), ("p", "menu"),
    ("\x1b", "letter"), ("\x1b", "closing prompt"),
]
SHORT_SESSION = [("n", "instructions?"), (NAME + "\r", "name"), ("a", "letter"),
                 ("\x1b", "menu"), ("\x1b", "closing prompt")]


def install(packages):
    subprocess.run([os.path.join(ROOT, "scripts", "install-packages.sh"), *packages], check=True)


def make_scratch():
    scratch = tempfile.mkdtemp(prefix="hkh-hear-")
    os.mkdir(os.path.join(scratch, "lex"))
    for prefix, count, word in (("agrp", 33, PHRASE[0]), ("ngrp", 33, PHRASE[1]), ("vgrp", 23, PHRASE[2])):
        for number in range(count):
            with open(os.path.join(scratch, "lex", f"{prefix}{number}"), "w") as file:
                file.write(word + "\n")
    shutil.copytree(os.path.join(ROOT, "data"), os.path.join(scratch, "data"))
    if "--short" in sys.argv:
        tone = b"".join((6000 if sample // 25 % 2 else -6000).to_bytes(2, "little", signed=True)
                        for sample in range(2205))
        for name in os.listdir(os.path.join(scratch, "data")):
            with wave.open(os.path.join(scratch, "data", name), "wb") as sound:
                sound.setnchannels(1), sound.setsampwidth(2), sound.setframerate(22050)
                sound.writeframes(tone)
    return scratch


class SpeechServer(threading.Thread):
    """Answers the speech-dispatcher protocol on a free port and logs each
    utterance (SPEAK ... '.', CHAR x) and each cancel, with its time."""

    def __init__(self, start):
        super().__init__(daemon=True)
        self.start_time = start
        self.heard = []
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(1)
        self.port = self.listener.getsockname()[1]

    def log(self, kind, text):
        self.heard.append((time.monotonic() - self.start_time, kind, text))

    def run(self):
        try:
            self.answer(*self.listener.accept())
        except OSError:
            pass  # yasr has gone

    def answer(self, connection, _):
        buffer, speaking, lines = b"", False, []
        while True:
            data = connection.recv(4096)
            if not data:
                return
            buffer += data
            while b"\r\n" in buffer:
                line, buffer = buffer.split(b"\r\n", 1)
                text = line.decode("utf-8", "replace")
                if speaking and text == ".":
                    speaking = False
                    self.log("speak", "\n".join(lines))
                    connection.sendall(b"225-1\r\n225 OK MESSAGE QUEUED\r\n")
                elif speaking:
                    lines.append(text[1:] if text.startswith("..") else text)
                elif text.upper() == "SPEAK":
                    speaking, lines = True, []
                    connection.sendall(b"230 OK RECEIVING DATA\r\n")
                else:
                    if text.upper().startswith("CHAR "):
                        self.log("char", text[5:])
                    elif text.upper().startswith("CANCEL"):
                        self.log("cancel", "")
                    connection.sendall(b"208 OK\r\n")


def game_pids(game, directory):
    pids = []
    for entry in os.listdir("/proc"):
        try:
            if entry.isdigit() and os.readlink(f"/proc/{entry}/exe") == game \
                    and os.readlink(f"/proc/{entry}/cwd") == directory:
                pids.append(int(entry))
        except OSError:
            pass
    return pids


def waits_for_key(pid):
    """The game's main thread waits in ppoll (271) without a timeout: a key read."""
    try:
        with open(f"/proc/{pid}/syscall") as file:
            fields = file.read().split()
    except OSError:
        return False
    return len(fields) > 3 and fields[0] == "271" and int(fields[3], 16) == 0


def wait_until(condition, seconds, what):
    """Until the condition has held for 0.3 s on end."""
    deadline, held = time.monotonic() + seconds, 0
    while time.monotonic() < deadline:
        held = held + 1 if condition() else 0
        if held >= 6:
            return
        time.sleep(0.05)
    raise SystemExit(f"timed out waiting for {what}")


def play(session, game, scratch, send, log, settle):
    pids = []
    wait_until(lambda: pids.extend(game_pids(game, scratch)) or pids, 30, "the game to start")
    for keys, answers in session:
        wait_until(lambda: waits_for_key(pids[0]) or not os.path.exists(f"/proc/{pids[0]}"), 60, answers)
        time.sleep(settle)
        log(keys)
        send(keys)
    wait_until(lambda: not os.path.exists(f"/proc/{pids[0]}"), 60, "the game to end")
    time.sleep(1.0)


def hear_with_yasr(game, session, start, typed):
    install(["yasr", "tmux"])
    scratch = make_scratch()
    server = SpeechServer(start)
    server.start()
    config = os.path.join(scratch, "yasr.conf")
    with open("/etc/yasr/yasr.conf") as original, open(config, "w") as copy:
        copy.write(re.sub(r"synthesizer port=.*", f"synthesizer port=127.0.0.1:{server.port}", original.read()))
    tmux = ["tmux", "-L", os.path.basename(scratch), "-f", "/dev/null"]
    subprocess.run([*tmux, "new-session", "-d", "-x", "80", "-y", "25", "-c", scratch,
                    f"SDL_AUDIODRIVER=dummy yasr -C {config} {game}"], check=True)
    subprocess.run([*tmux, "set", "-g", "status", "off"], check=True)
    server_pid = subprocess.run([*tmux, "display", "-p", "#{pid}"], capture_output=True, text=True).stdout.strip()
    try:
        play(session, game, scratch, lambda keys: subprocess.run([*tmux, "send-keys", "-l", keys], check=True), typed, 0.2)
    finally:
        if server_pid.isdigit():
            subprocess.run(["kill", server_pid], check=False)
        shutil.rmtree(scratch, ignore_errors=True)
    return server.heard


KEYSYMS = {"\r": "Return", "\x1b": "Escape", " ": "space", "/": "slash", "-": "minus", "&": "ampersand",
           ".": "period", "_": "underscore"}


def press_keys(keys, env):
    """Each key held down a tenth of a second, as a finger does: Orca echoes a
    key when it is released, if the terminal shows it by then."""
    for key in keys:
        keysym = KEYSYMS.get(key, key)
        subprocess.run(["xdotool", "keydown", keysym], env=env, check=True)
        time.sleep(0.1)
        subprocess.run(["xdotool", "keyup", keysym], env=env, check=True)
        time.sleep(0.05)


def hear_with_orca(game, session, start, typed):
    install(["xvfb", "sakura", "orca", "at-spi2-core", "dbus-x11", "xdotool"])
    scratch = make_scratch()
    home = os.path.join(scratch, "home")
    os.makedirs(os.path.join(home, ".config", "sakura"))
    with open(os.path.join(home, ".config", "sakura", "sakura.conf"), "w") as file:
        file.write("[sakura]\ncolumns=80\nrows=25\nshow_tab_bar=never\n")
    debug = os.path.join(scratch, "orca-debug.txt")
    display = f":{40 + os.getpid() % 200}"
    env = dict(os.environ, HOME=home, DISPLAY=display, XDG_RUNTIME_DIR=scratch, GTK_A11Y="atspi",
               NO_AT_BRIDGE="0", GTK_MODULES="gail:atk-bridge", SDL_AUDIODRIVER="dummy", PS1="$ ")
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"], env=env)
    bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
                         env=env, capture_output=True, text=True, check=True).stdout.split()
    env["DBUS_SESSION_BUS_ADDRESS"], bus_pid = bus[0], bus[1]
    subprocess.run(["gsettings", "set", "org.gnome.desktop.interface", "toolkit-accessibility", "true"], env=env)
    time.sleep(1)
    registry = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env)
    time.sleep(1)
    orca = subprocess.Popen(["orca", "--replace", f"--debug-file={debug}"], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(4)
    terminal = subprocess.Popen(["sakura", "-c", "80", "-r", "25", "-e", "bash --norc --noprofile"], cwd=scratch,
                                env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(4)

    try:
        press_keys(f"cd {scratch} && {game}\r", env)
        play(session, game, scratch, lambda keys: press_keys(keys, env), typed, 1.0)
        press_keys("exit\r", env)
        time.sleep(1)
    finally:
        for process in (terminal, orca, registry, xvfb):
            process.terminate()
        orca.wait(10)
        subprocess.run(["kill", bus_pid], check=False)
    with open(debug, errors="replace") as file:
        log = file.read()
    kept = os.path.join(tempfile.gettempdir(), f"orca-debug-{os.getpid()}.txt")
    shutil.copy(debug, kept)
    print(f"Orca's debug file: {kept}", file=sys.stderr)
    shutil.rmtree(scratch, ignore_errors=True)
    return orca_speech(log, start)


def orca_speech(log, start):
    """What Orca would have spoken: its SPEECH OUTPUT entries, which may span
    lines, timed from its first time stamp. Key echo (a key's name, written
    with one voice) is told apart from text (written with a list of voices)."""
    heard, first = [], None
    pattern = r"^(\d\d):(\d\d):(\d\d\.\d+) - SPEECH OUTPUT: '(.*?)'( |\[)?\{'established"
    for match in re.finditer(pattern, log, re.M | re.S):
        hours, minutes, seconds, text, voices = match.groups()
        stamp = int(hours) * 3600 + int(minutes) * 60 + float(seconds)
        first = stamp if first is None else first
        heard.append((stamp - first, "speak" if voices == "[" else "key", text))
    return heard


def shown(text):
    """One utterance on one line: its lines joined by ' | ', and an utterance
    of spaces only told as such."""
    if text and not text.strip():
        return f"<{len(text)} spaces>"
    return " | ".join(line.rstrip() for line in text.split("\n"))


def main():
    arguments = [argument for argument in sys.argv[1:] if not argument.startswith("--")]
    if not arguments:
        raise SystemExit(__doc__)
    game, readers = os.path.abspath(arguments[0]), arguments[1:] or ["yasr", "orca"]
    session = SHORT_SESSION if "--short" in sys.argv else FULL_SESSION
    for reader in readers:
        start = time.monotonic()
        keys = []
        typed = lambda text: keys.append((time.monotonic() - start, "keys", repr(text)))
        heard = (hear_with_yasr if reader == "yasr" else hear_with_orca)(game, session, start, typed)
        print(f"== {reader}")
        for moment, kind, text in sorted(heard + (keys if reader == "yasr" else []), key=lambda item: item[0]):
            print(f"{moment:7.2f} {kind:6} {shown(text)}")
        sys.stdout.flush()


if __name__ == "__main__":
    main()
