#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with its own prefix, starts the
# installed launcher in a terminal from a folder that holds no game files,
# and plays far enough to see that the word lists were found.
# Usage: install_test.sh <build dir>
set -euo pipefail
build_dir=$1
here=$(cd "$(dirname "$0")" && pwd)
command -v tmux >/dev/null || { echo "SKIPPED: tmux is not installed (./test.sh installs it)"; exit 77; }
scratch=$(mktemp -d)
source "$here/terminal.sh"
trap 'stop_terminal; rm -rf "$scratch"' EXIT

DESTDIR="$scratch/dest" cmake --install "$build_dir" --prefix /opt/koalas >/dev/null
root="$scratch/dest/opt/koalas"
launcher="$root/games/happy-koalas-hum"
for path in "$launcher" "$root/libexec/happy-koalas-hum/happy-koalas-hum"; do
    [ -x "$path" ] || { echo "FAIL: $path is not installed as a program" >&2; exit 1; }
done
for path in share/games/happy-koalas-hum/lex/agrp0 share/games/happy-koalas-hum/data/hum.wav \
            share/man/man6/happy-koalas-hum.6.gz share/applications/happy-koalas-hum.desktop \
            share/doc/happy-koalas-hum/copyright share/doc/happy-koalas-hum/changelog.gz \
            share/lintian/overrides/happy-koalas-hum; do
    [ -f "$root/$path" ] || { echo "FAIL: $path is not installed" >&2; exit 1; }
done
gzip -t "$root/share/man/man6/happy-koalas-hum.6.gz"

elsewhere="$scratch/elsewhere"
mkdir "$elsewhere"

echo "the launcher, from an unrelated folder: title, a round, the farewell"
start_in_terminal "$elsewhere" "'$launcher'"
expect_title_screen
wait_for_text 1 22 "Do you want instructions?"
send_keys n
wait_for_text 1 22 "What is your first name?"
send_keys -l Tester
send_keys Enter
wait_for_text 1 1 "Okay Tester time to  hum!"
wait_for_text 1 22 "Guess a letter "
send_keys Escape
wait_for_text 34 22 "Press escape to exit "
send_keys Escape
status=$(wait_for_exit)
[ "$status" = 0 ] || { echo "FAIL: the game ended with status $status" >&2; exit 1; }
stop_terminal

echo "a symbolic link to the launcher, elsewhere: title"
ln -s "$launcher" "$elsewhere/koalas"
start_in_terminal "$scratch" "'$elsewhere/koalas'"
expect_title_screen
stop_terminal
echo "PASS"
