#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in build-fuzz and runs
# each for a bounded time on its seed corpus in fuzz/corpus/<target>/.
# A crash fails the run; what the fuzzer found is left in build-fuzz/findings/.
# Usage: scripts/run-fuzzers.sh [seconds per target, default 30; 0 only builds them] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"  # the fuzzers work in a scratch directory of their own: paths must be absolute
seconds="${1:-30}"
shift || true

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHKH_FUZZ=ON -DHKH_TESTS=OFF >/dev/null
cmake --build build-fuzz --target fuzzers -j2 >/dev/null
[ "$seconds" = 0 ] && exit 0

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=()
  for corpus in fuzz/corpus/*/; do targets+=("$(basename "$corpus")"); done
fi

failed=0
for target in "${targets[@]}"; do
  findings="$root/build-fuzz/findings/$target"
  work="$root/build-fuzz/corpus/$target"
  mkdir -p "$findings" "$work"
  dictionary=()
  [ -f "fuzz/$target.dict" ] && dictionary=(-dict="$root/fuzz/$target.dict")
  echo "fuzzing $target for ${seconds}s"
  # New inputs go to the working corpus; the committed seeds are only read.
  if ! "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" "${dictionary[@]}" \
      "$work" "$root/fuzz/corpus/$target" >"$findings/log.txt" 2>&1; then
    echo "FAILED: $target (see $findings/log.txt)" >&2
    tail -n 40 "$findings/log.txt" >&2
    failed=1
    continue
  fi
  grep -E '^stat::number_of_executed_units|^Done' "$findings/log.txt" | sed "s/^/  /"
done
exit "$failed"
