#!/usr/bin/env python3
"""Counts the sessions a sound server breaks a sound in, with the game or a stock client playing.

Usage: server_faults.py BUILD_DIR SOURCE_DIR [--client game|pacat|pw-play] [--latency-ms N]
                        [--sessions N] [--server pipewire|pulseaudio] [--sink-options OPTION...]
                        [--recorder parec|pw-record] [--log-level N] [--keep FOLDER]

Each session starts a private server (tests/sound/null_sink_server.sh) with its
null sink at the server's defaults, records its monitor and plays the
benchmark's scripted round with the test sounds: the game in tmux, as
bench.py plays it, or a stock client (pacat through the PulseAudio service,
pw-play natively) given the same sounds in the same order, one stream for
each run of sounds between two key reads, the designed pauses inside a run
as silence and 8 ms of it after each sound, as the game writes them. The
recording is heard by the shared analyser. Meanwhile two meters, one at
normal priority and one real-time, sleep 1 ms at a time and note every
overshoot, and PipeWire logs at --log-level (PIPEWIRE_DEBUG). Each broken
sound is printed with the stalls near it. Build BUILD_DIR as bench/run.sh
does.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench  # noqa: E402

STALL_NOTED_MS = 4.0  # overshoots of the 1 ms sleep noted one by one
# The game writes 8 ms of silence after every sound; so do the stock
# clients, which then play the frames the game writes.
TRAILING_FRAMES = bench.DEVICE_RATE * 8 // 1000
# The second meter runs real-time, as the server's threads do (priority 88):
# what stalls it stalls them.
METER_PRIORITY = 80
SERVER_LOG_FAULTS = re.compile(r"xrun|timeout|underrun|overrun|too slow|not ready|discont|skip", re.IGNORECASE)


def stall_meter(file_name):
    """Sleeps 1 ms at a time until killed; writes the worst overshoot, and
    each one above STALL_NOTED_MS with its steady clock time, in ms."""
    worst = 0.0
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    with open(file_name, "w", buffering=1) as out:
        while not stop:
            before = time.monotonic_ns()
            time.sleep(0.001)
            after = time.monotonic_ns()
            over = (after - before) / 1e6 - 1.0
            if over > worst:
                worst = over
            if over > STALL_NOTED_MS:
                out.write(f"stall {before / 1e6:.1f} {over:.1f}\n")
        out.write(f"worst {worst:.2f}\n")


def read_stalls(file_name):
    stalls, worst = [], None
    with open(file_name) as file:
        for line in file:
            kind, *values = line.split()
            if kind == "stall":
                stalls.append((float(values[0]) / 1000, float(values[1])))
            elif kind == "worst":
                worst = float(values[0])
    return worst, stalls


def timeline_runs(builds, folder):
    """The scripted round as the game plays it: a list of runs between two
    key reads, each a list of (sound file or None for a pause, ms)."""
    output = subprocess.run([builds["timeline"], bench.round_key_script()], cwd=folder, check=True,
                            capture_output=True, text=True).stdout
    runs, run = [], []
    for line in output.splitlines():
        kind, _, rest = line.partition("\t")
        if kind == "sound":
            run.append((bench.sound_name(rest), 0))
        elif kind == "pause":
            run.append((None, max(0, int(rest))))
        elif kind in ("read", "end"):
            runs.append(run)
            run = []
    return runs


def write_run(data, run, path):
    """The run's sounds with its pauses as silence between them, in the
    game's format; returns (pause before, pause after) in seconds, which the
    player sleeps with no stream open, as the game does before and after."""
    first = next((i for i, (name, _) in enumerate(run) if name), None)
    if first is None:
        return sum(ms for _, ms in run) / 1000, 0, False
    last = max(i for i, (name, _) in enumerate(run) if name)
    frames, owed = b"", 0
    for name, ms in run[first:last + 1]:
        if name:
            with wave.open(os.path.join(data, name)) as sound:
                frames += sound.readframes(sound.getnframes())
            frames += b"\0\0" * TRAILING_FRAMES
            owed = TRAILING_FRAMES
        else:
            frames += b"\0\0" * max(0, bench.DEVICE_RATE * ms // 1000 - owed)
            owed = 0
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(bench.DEVICE_RATE)
        out.writeframes(frames)
    return (sum(ms for _, ms in run[:first]) / 1000, sum(ms for _, ms in run[last + 1:]) / 1000, True)


def client_environment(server_folder):
    runtime = os.path.join(server_folder, "runtime")
    environment = dict(os.environ, PULSE_SERVER=f"unix:{runtime}/pulse/native", PULSE_SINK="rec",
                       PIPEWIRE_RUNTIME_DIR=runtime, XDG_RUNTIME_DIR=runtime)
    environment.pop("PIPEWIRE_DEBUG", None)
    return environment


def play_with_client(client, latency_ms, folder, server_folder, runs):
    environment = client_environment(server_folder)
    for index, run in enumerate(runs):
        path = os.path.join(folder, f"run{index}.wav")
        before, after, any_sound = write_run(os.path.join(folder, "data"), run, path)
        time.sleep(before)
        if any_sound:
            if client == "pacat":
                command = ["pacat", "--playback", "--file-format=wav", "--device=rec", path]
                if latency_ms:
                    command.insert(1, f"--latency-msec={latency_ms}")
            else:
                command = ["pw-play", "--target", "rec", path]
                if latency_ms:
                    command[1:1] = ["--latency", f"{latency_ms}ms"]
            subprocess.run(command, env=environment, check=True, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
        time.sleep(after)


class PwRecorder:
    """pw-record on the sink's monitor, as null_sink_server.sh records with parec."""

    def __init__(self, server_folder, path):
        rate = 48000
        self.path = path
        self.process = subprocess.Popen(
            ["pw-record", "--target", "rec", "-P", "stream.capture.sink=true", "--rate", str(rate),
             "--channels", "1", "--format", "s16", path],
            env=client_environment(server_folder), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and (not os.path.exists(path) or os.path.getsize(path) < 4096):
            time.sleep(0.01)

    def stop(self):
        size = os.path.getsize(self.path)
        deadline = time.monotonic() + 2
        while time.monotonic() < deadline and os.path.getsize(self.path) < size + 4800:
            time.sleep(0.01)
        self.process.send_signal(signal.SIGINT)
        self.process.wait(timeout=10)


def faults_in(heard, sounds):
    """What broke in a session: the designed sounds not heard whole in order,
    pieces and others, the largest cut or silence inside a sound, the
    largest gap between back-to-back sounds, and where each broken sound
    starts."""
    matches = bench.match_design(heard, sounds)
    whole, places = 0, []
    for match in matches:
        cut = match["written"] - match["length"]
        if (abs(cut) <= 0.0001 and match["inside"] == 0 and match["found"] == match["expected"]
                and (match["gap"] or 0) <= 0.025):
            whole += 1
        else:
            places.append(match["start"])
    gaps = [match["gap"] for match in matches if match["gap"] is not None]
    found = {match["found"] for match in matches}
    pieces = [start for index, (_, start, *_) in enumerate(heard) if index not in found]
    return {"whole": whole, "pieces": len(pieces), "gap": max(gaps, default=0), "gaps": gaps,
            "hole": max([0.0] + [max(match["written"] - match["length"], match["inside"]) for match in matches]),
            "late": [match["late"] for match in matches if match["late"] is not None],
            "places": sorted(places + pieces)}


def server_log_faults(server_folder, seen):
    """Lines of the server's log that tell of a fault, new since `seen` lines."""
    try:
        with open(os.path.join(server_folder, "server.log"), errors="replace") as file:
            lines = file.read().splitlines()
    except OSError:
        return [], seen
    return [line for line in lines[seen:] if SERVER_LOG_FAULTS.search(line)], len(lines)


def one_session(arguments, builds, folder, runs, segments, sounds, number):
    if arguments.log_level:
        os.environ["PIPEWIRE_DEBUG"] = str(arguments.log_level)
    # The fixture's log goes on from the session before.
    _, log_before = server_log_faults(os.path.join(folder, "server-" + arguments.server), 0)
    server = bench.SoundServer(arguments.source, folder, arguments.server, arguments.sink_options)
    os.environ.pop("PIPEWIRE_DEBUG", None)
    meter_command = [sys.executable, os.path.abspath(__file__), "--stall-meter"]
    meters = [subprocess.Popen(meter_command + [os.path.join(folder, f"stalls{number}")]),
              subprocess.Popen(["chrt", "-f", str(METER_PRIORITY)] + meter_command
                               + [os.path.join(folder, f"rt-stalls{number}")])]
    recorder = None
    try:
        recording = server.recording
        started = time.monotonic()
        if arguments.recorder == "pw-record":
            recorder = PwRecorder(server.folder, recording)
        else:
            server.record()
        if arguments.client == "game":
            bench.play_round(builds, folder, segments, number, server)
        else:
            play_with_client(arguments.client, arguments.latency_ms, folder, server.folder, runs)
        time.sleep(0.3)  # what the server still plays reaches the recording
        if recorder:
            recorder.stop()
            recorder = None
        else:
            server.run("stop-recording")
        log_lines, _ = server_log_faults(server.folder, log_before)
        result = faults_in(bench.heard_sounds(builds, folder, recording), sounds)
        result.update({"started": started, "log": log_lines})
        shutil.copy(recording, os.path.join(arguments.keep, f"session{number}.wav")) if arguments.keep else None
        return result, meters
    finally:
        if recorder:
            recorder.process.kill()
            recorder.process.wait()
        if arguments.keep:
            shutil.copy(os.path.join(server.folder, "server.log"), os.path.join(arguments.keep, f"server{number}.log"))
        server.stop()


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--stall-meter":
        return stall_meter(sys.argv[2])
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build")
    parser.add_argument("source")
    parser.add_argument("--client", choices=("game", "pacat", "pw-play"), default="game")
    parser.add_argument("--latency-ms", type=int, default=0, help="a stock client's latency; 0: its default")
    parser.add_argument("--sessions", type=int, default=10)
    parser.add_argument("--server", choices=("pipewire", "pulseaudio"), default="pipewire")
    parser.add_argument("--sink-options", nargs="*", default=[], help="module-null-sink options (rate=48000 ...)")
    parser.add_argument("--recorder", choices=("parec", "pw-record"), default="parec")
    parser.add_argument("--log-level", type=int, default=2)
    parser.add_argument("--keep", help="a folder to keep each session's recording and server log in")
    arguments = parser.parse_args()
    arguments.source = os.path.abspath(arguments.source)
    builds = bench.program_paths(os.path.abspath(arguments.build))
    if arguments.keep:
        os.makedirs(arguments.keep, exist_ok=True)

    folder = tempfile.mkdtemp(prefix="hkh-faults-")
    try:
        shutil.copytree(os.path.join(arguments.source, "data"), os.path.join(folder, "data"))
        bench.write_one_word_lexicon(folder)
        subprocess.run([builds["hear"], "write", os.path.join(folder, "data")], check=True)
        segments, sounds = bench.designed_round(builds, folder, bench.sound_lengths(os.path.join(folder, "data"))[0])
        runs = timeline_runs(builds, folder)
        label = arguments.client + (f" at {arguments.latency_ms} ms" if arguments.latency_ms else "")
        print(f"{label} through {arguments.server}, recorded with {arguments.recorder}; "
              f"{len(sounds)} sounds a session", flush=True)
        faltered, all_pieces, holes, gaps, late, worst_stall, worst_rt_stall = 0, 0, [], [], [], 0.0, 0.0
        for number in range(1, arguments.sessions + 1):
            result, meters = one_session(arguments, builds, folder, runs, segments, sounds, number)
            for meter in meters:
                meter.terminate()
                meter.wait()
            worst, stalls = read_stalls(os.path.join(folder, f"stalls{number}"))
            rt_worst, rt_stalls = read_stalls(os.path.join(folder, f"rt-stalls{number}"))
            worst_stall = max(worst_stall, worst or 0)
            worst_rt_stall = max(worst_rt_stall, rt_worst or 0)
            broken = result["whole"] < len(sounds) or result["pieces"] > 0
            faltered += broken
            all_pieces += result["pieces"]
            holes.append(result["hole"])
            gaps.extend(result["gaps"])
            late.extend(result["late"])
            print(f"session {number}: {result['whole']} of {len(sounds)} whole, {result['pieces']} pieces, "
                  f"largest cut or silence inside a sound {1000 * result['hole']:.1f} ms, largest back-to-back gap "
                  f"{1000 * result['gap']:.1f} ms; worst 1 ms sleep overshoot {worst:.1f} ms "
                  f"({len(stalls)} above {STALL_NOTED_MS:.0f} ms), real-time {rt_worst:.1f} ms "
                  f"({len(rt_stalls)}); server log fault lines: {len(result['log'])}", flush=True)
            for place in result["places"][:8]:
                near = [f"{over:.0f} ms at {at - result['started'] - place:+.2f} s"
                        for at, over in stalls + rt_stalls if abs(at - result["started"] - place) < 2]
                print(f"   broken at {place:.3f} s into the recording; stalls within 2 s: {', '.join(near) or 'none'}")
            for line in result["log"][:6]:
                print("   log: " + line[:200])
        print(f"gap between back-to-back sounds, ms: {bench.spread([1000 * g for g in gaps], '{:.1f}')}; "
              f"after a designed pause, late by, ms: {bench.spread([1000 * x for x in late], '{:.1f}')}")
        print(f"TOTAL {label}: {arguments.sessions} sessions, {faltered} faltered, {all_pieces} pieces, "
              f"largest cut or silence inside {1000 * max(holes):.1f} ms, largest back-to-back gap {1000 * max(gaps, default=0):.1f} ms, "
              f"worst sleep overshoot {worst_stall:.1f} ms, real-time {worst_rt_stall:.1f} ms")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
