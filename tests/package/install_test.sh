#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with its own prefix, starts the
# installed launcher in a terminal from a folder that holds no game files,
# and plays far enough to see that the word lists were found.
# Usage: install_test.sh <build dir> <tmux_play>
set -euo pipefail
build_dir=$1
tmux_play=$2
command -v tmux >/dev/null || { echo "SKIPPED: tmux is not installed (./test.sh installs it)"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

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

# play <folder> <command>: the steps on standard input, in an 80x25 tmux pane
play_in_terminal() { "$tmux_play" --dir "$1" --env SDL_AUDIODRIVER=dummy -- "$2" >/dev/null; }

echo "the launcher, from an unrelated folder: title, a round, the farewell"
play_in_terminal "$elsewhere" "'$launcher'" <<'EOF'
at 31 7 Happy Koalas Hum
at 28 9 Version 1.0 for Windows
at 1 22 Do you want instructions?
type n
at 1 22 What is your first name?
type Tester
key Enter
at 1 1 Okay Tester time to  hum!
at 1 22 Guess a letter 
key Escape
at 34 22 Press escape to exit 
key Escape
exit 0
EOF

echo "a symbolic link to the launcher, elsewhere: title"
ln -s "$launcher" "$elsewhere/koalas"
play_in_terminal "$scratch" "'$elsewhere/koalas'" <<'EOF'
at 31 7 Happy Koalas Hum
at 28 9 Version 1.0 for Windows
EOF
echo "PASS"
