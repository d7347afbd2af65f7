#!/usr/bin/env bash
# Builds the Debian package, <build dir>/happy-koalas-hum_1.0_<arch>.deb, from
# a Release build with Debian's hardening flags; installs what is missing
# (dpkg-dev and file compute the package's dependencies from the binary).
# Usage: scripts/build-deb.sh [build dir, default build-deb] [cmake option...]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build-deb}
shift || true
"$source_dir/scripts/install-packages.sh" g++ cmake make pkg-config libsdl2-dev libpulse-dev dpkg-dev file

# CMake reads CXXFLAGS and LDFLAGS when it first configures a build folder; it
# does not read CPPFLAGS, so the preprocessor flags join the compiler's.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS

# A new folder builds without the tests; one made before keeps its settings.
[ -f "$build_dir/CMakeCache.txt" ] || set -- -DHKH_TESTS=OFF "$@"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build_dir" -j2
(cd "$build_dir" && cpack >/dev/null)
deb=$(ls "$build_dir"/happy-koalas-hum_*.deb)
echo "Built $deb ($(stat -c %s "$deb") bytes)"
