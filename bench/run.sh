#!/usr/bin/env bash
# Builds the game (Release) and the benchmark programs, then measures what the
# game costs beyond its own pauses and sounds and prints the figures, beside
# those of bsdgames' hangman, and through a PulseAudio and a PipeWire server
# set up as desktops have them. About seven minutes; run it on a quiet machine.
# Usage: bench/run.sh [--runs N] [--startups N]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh g++ cmake make pkg-config libsdl2-dev libpulse-dev pulseaudio pulseaudio-utils pipewire pipewire-pulse wireplumber dbus-daemon tmux time python3 bsdgames wamerican
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DHKH_TESTS=OFF -DHKH_BENCH=ON >/dev/null
cmake --build build-bench -j"${BENCH_JOBS:-2}" >/dev/null
exec python3 bench/bench.py build-bench . "$@"
