#!/usr/bin/env bash
# Builds the game (Release) and starts it, from the repo root.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages.sh g++ cmake make pkg-config libsdl2-dev
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DHKH_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" >/dev/null
exec build/happy-koalas-hum
