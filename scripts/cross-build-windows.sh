#!/usr/bin/env bash
# Cross-builds the Windows console game, build-windows/happy-koalas-hum.exe,
# with Debian's mingw-w64 (installed when missing), and checks that the .exe
# needs no DLL beyond the system's KERNEL32, msvcrt and WINMM.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh cmake make g++-mingw-w64-x86-64
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-windows -j2

exe=build-windows/happy-koalas-hum.exe
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -f | tr '\n' ' ')
if [ "$imports" != "KERNEL32.dll msvcrt.dll WINMM.dll " ]; then
  echo "$exe imports $imports; it should import only KERNEL32.dll msvcrt.dll WINMM.dll" >&2
  exit 1
fi
echo "Built $exe ($(stat -c %s "$exe") bytes; imports $imports)"
