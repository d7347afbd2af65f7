#!/usr/bin/env bash
# Plays the start of a game with the Windows build under wine, in an 80x25
# tmux pane, and reads the screen the player would see.
# Usage: tests/windows_smoke.sh path/to/happy-koalas-hum.exe source-folder
# Exits 77 (skipped) when wine, tmux or the .exe is not there.
set -euo pipefail

exe=$1
source_dir=$2

skip() {
  echo "SKIPPED: $*"
  exit 77
}
command -v wine >/dev/null || skip "wine is not installed (apt-get install wine wine64)"
command -v tmux >/dev/null || skip "tmux is not installed (apt-get install tmux)"
[ -f "$exe" ] || skip "$exe is not built (scripts/cross-build-windows.sh builds it)"

work=$(mktemp -d)
socket="hkh-windows-smoke-$$"
export HOME=${HOME:-$work}
export WINEPREFIX="$work/wine"
export WINEDEBUG=-all

finish() {
  tmux -L "$socket" kill-server 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

# A fresh wine folder, without the .NET and HTML engines it would offer to
# fetch, and with no audio driver: without a sound device the driver's
# messages would land on the screen, and PlaySoundA just returns.
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d '' /f >/dev/null 2>&1
wineserver -w

# The game's folder: its sounds, and word lists of one word each, so every
# round draws "happy koalas hum".
game="$work/game"
mkdir -p "$game/lex"
cp "$exe" "$game/happy-koalas-hum.exe"
cp -r "$source_dir/data" "$game/data"
for number in $(seq 0 32); do
  echo happy >"$game/lex/agrp$number"
  echo koalas >"$game/lex/ngrp$number"
done
for number in $(seq 0 22); do echo hum >"$game/lex/vgrp$number"; done

screen() { tmux -L "$socket" capture-pane -p -t game; }

# The text that starts at (column, row), as long as the expected text.
text_at() {
  local column=$1 row=$2 length=$3
  screen | awk -v row="$row" -v column="$column" -v len="$length" \
    'NR == row { printf "%s", substr($0, column, len) }'
}

fail() {
  echo "FAILED: $*"
  echo "--- screen ---"
  screen
  echo "--------------"
  exit 1
}

# Wine draws the console output asynchronously: every check waits until the
# whole text is there.
wait_for() {
  local column=$1 row=$2 text=$3
  for _ in $(seq 1 300); do
    [ "$(text_at "$column" "$row" "${#text}")" = "$text" ] && return 0
    sleep 0.1
  done
  fail "expected \"$text\" at ($column, $row), found \"$(text_at "$column" "$row" "${#text}")\""
}

send() { tmux -L "$socket" send-keys -t game "$@"; }

# Wine's ALSA messages would corrupt the screen: stderr goes nowhere.
tmux -L "$socket" new-session -d -s game -x 80 -y 25 -c "$game" \
  "wine happy-koalas-hum.exe 2>/dev/null; echo \"[exit status \$?]\"; sleep 600"

echo "title screen"
wait_for 1 22 "Do you want instructions?  Y or N"
wait_for 31 7 "Happy Koalas Hum"
wait_for 28 9 "Version 1.0 for Windows"

echo "no instructions, then the name prompt"
send n
wait_for 1 22 "What is your first name?"

echo "an over-long name keeps its first 14 characters"
send "Kimberly Koalawood" Enter
name="Kimberly Koala"

# Until rounds are played the game goes from the name to the summary.
for _ in $(seq 1 300); do
  [ "$(text_at 1 22 15)" = "Guess a letter" ] && break
  [ "$(text_at 27 5 19)" = "I hope you had fun " ] && break
  sleep 0.1
done

if [ "$(text_at 27 5 19)" = "I hope you had fun " ]; then
  echo "the session summary"
  wait_for 27 5 "I hope you had fun $name"
  wait_for 14 10 "You played 0 games and earned 0 points this session"
  wait_for 34 21 "Happy koalas hum $name"
  wait_for 34 22 "Press escape to exit"
else
  echo "the round's first screen"
  wait_for 1 22 "Guess a letter"
  wait_for 1 1 "Okay $name time to  hum!"
  wait_for 1 23 "The phrase is: h---- k----- h--"

  echo "a letter and its match message"
  send a
  wait_for 1 22 "Guess, Review or Pass, G, R or P"
  wait_for 1 1 "There are 3 matches"
  wait_for 1 23 "ha--- k-a-a- h--"
fi

# A lone Escape never reaches the game under wine, so the pane is ended here.
tmux -L "$socket" kill-session -t game
echo "passed"
