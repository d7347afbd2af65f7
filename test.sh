#!/usr/bin/env bash
# Builds the game and every test under AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs them all (unit and end to end).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-packages.sh g++ cmake make pkg-config libsdl2-dev libpulse-dev libgtest-dev tmux \
  pulseaudio pulseaudio-utils pipewire pipewire-pulse wireplumber dbus-daemon \
  clang libclang-rt-14-dev valgrind lintian dpkg-dev file desktop-file-utils appstream wine wine64 zip yasr
# The packager's path: the package's GCC Release build with Debian's flags,
# here with the tests and warnings as errors, and its unit tier run, so an
# optimised build cannot break unseen. The package and valgrind tests reuse it.
CXX=g++ scripts/build-deb.sh "$PWD/build-release" -DHKH_TESTS=ON -DHKH_WERROR=ON >/dev/null
ctest --test-dir build-release -L unit --output-on-failure | tail -n 3
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DHKH_SANITIZE=ON -DHKH_WERROR=ON \
  -DHKH_PLAIN_GAME_BINARY="$PWD/build-release/happy-koalas-hum" \
  -DHKH_PACKAGE_BUILD_DIR="$PWD/build-release" >/dev/null
cmake --build build-test -j"$(nproc)"
# The Windows .exe and its download, which the windows tier plays under wine.
scripts/package-windows.sh
# The fuzzers build at low priority beside the tests, most of which wait on a
# real clock rather than the processor; then each runs 8 s on its seed corpus.
nice -n 19 scripts/run-fuzzers.sh 0 &
fuzz_build=$!
trap 'kill "$fuzz_build" 2>/dev/null || true' EXIT
(cd build-test && ctest --output-on-failure -j2)
wait "$fuzz_build"
scripts/run-fuzzers.sh 8
