#!/usr/bin/env bash
# Builds the Debian package (scripts/build-deb.sh: a Release build with
# Debian's flags, only what changed when the folder was built before),
# checks its fields and its data files, runs lintian on it (no errors, no
# warnings: it asks for the copyright, changelog and manual page) and the
# desktop and AppStream validators, and meanwhile starts the unpacked
# package's launcher through a symbolic link in an unrelated folder and plays
# into a round, so the word lists were found (ending the pane's tmux server
# ends the game). Exits 77 (skipped) when a tool it needs is missing; ./test.sh
# installs them.
# Usage: deb_test.sh <source dir> <folder for the Release build>
set -euo pipefail
source_dir=$1
release_dir=$2

for tool in lintian dpkg-shlibdeps desktop-file-validate appstreamcli tmux; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed (./test.sh installs it)"; exit 77; }
done
scratch=$(mktemp -d)
pane=(tmux -S "$scratch/tmux" -f /dev/null)
trap '"${pane[@]}" kill-server 2>/dev/null; wait; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Waits until the pane shows the text, then types the keys.
answer() {
    for _ in $(seq 300); do
        if "${pane[@]}" capture-pane -p | grep -qF "$1"; then
            [ $# -eq 1 ] || "${pane[@]}" send-keys "${@:2}"
            return
        fi
        sleep 0.1
    done
    "${pane[@]}" capture-pane -p
    return 1
}

rm -f "$release_dir"/happy-koalas-hum_*.deb
"$source_dir/scripts/build-deb.sh" "$release_dir" >"$scratch/build.log" 2>&1 ||
    { cat "$scratch/build.log" >&2; fail "the package did not build"; }
deb=$(ls "$release_dir"/happy-koalas-hum_1.0_*.deb)
dpkg-deb -x "$deb" "$scratch/root"
mkdir "$scratch/elsewhere"
ln -s "$scratch/root/usr/games/happy-koalas-hum" "$scratch/elsewhere/koalas"
"${pane[@]}" new-session -d -x 80 -y 25 -c "$scratch/elsewhere" -e SDL_AUDIODRIVER=dummy \
    -e PULSE_SERVER=unix:/nonexistent/hkh-no-server ./koalas
{ answer "Do you want instructions?" n && answer "What is your first name?" -l Tester &&
    answer "What is your first name?  Tester" Enter && answer "Guess a letter"; } >"$scratch/played" &
played=$!

echo "$deb: $(stat -c %s "$deb") bytes"
# The dependencies come from the libraries the binary links, SDL2 among them.
[ "$(dpkg-deb -f "$deb" Package Version Section)" = $'Package: happy-koalas-hum\nVersion: 1.0\nSection: games' ] &&
    [[ $(dpkg-deb -f "$deb" Depends) == *libsdl2-2.0-0* ]] || fail "the fields are: $(dpkg-deb -f "$deb")"
# Every shipped word list and sound, and nothing else, in the data folder.
[ "$(cd "$scratch/root/usr/share/games/happy-koalas-hum" && find . -type f | sed 's|^./||' | sort)" = \
    "$(cd "$source_dir" && find lex data -type f -not -name '.*' | sort)" ] ||
    fail "the package's word lists and sounds differ from lex/ and data/"
lintian --fail-on error,warning --info "$deb" >"$scratch/lintian" 2>&1 ||
    { grep -v '^running with root privileges' "$scratch/lintian" >&2; fail "lintian found errors or warnings"; }
desktop-file-validate "$scratch/root/usr/share/applications/happy-koalas-hum.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/example.happy_koalas_hum.game.metainfo.xml" ||
    fail "the AppStream metainfo is not valid"
wait "$played" || { cat "$scratch/played" >&2; fail "the unpacked game did not play into a round"; }
echo "PASS"
