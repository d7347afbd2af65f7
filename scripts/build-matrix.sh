#!/usr/bin/env bash
# Builds the game and its tests with GCC and clang in every build type (and
# none), warnings as errors, and prints a pass or fail line for each; the
# exit status is the number of failed builds. Each build has its own folder,
# build-matrix/<compiler>-<type>, so a second run only rebuilds what changed.
# Usage: scripts/build-matrix.sh [build type...]   (default: all four)
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh g++ clang cmake make pkg-config libsdl2-dev libgtest-dev >/dev/null || exit 1

types=("$@")
[ ${#types[@]} -gt 0 ] || types=(Debug Release RelWithDebInfo None)
failures=0
for compiler in g++ clang++; do
  for type in "${types[@]}"; do
    build=build-matrix/${compiler%++}-$type
    build_type=$type
    [ "$type" = None ] && build_type=
    log=$build.log
    mkdir -p build-matrix
    if CXX=$compiler cmake -S . -B "$build" -DCMAKE_BUILD_TYPE="$build_type" -DHKH_WERROR=ON >"$log" 2>&1 &&
       cmake --build "$build" -j2 >>"$log" 2>&1; then
      echo "pass  $compiler ${type}"
    else
      echo "FAIL  $compiler ${type}  (see $log)"
      failures=$((failures + 1))
    fi
  done
done
exit "$failures"
