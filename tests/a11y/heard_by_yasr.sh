#!/usr/bin/env bash
# A short session read by yasr (tools/hear_with_readers.py): every essential
# text is heard once, in order, and no utterance is only spaces.
# Usage: heard_by_yasr.sh GAME
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
command -v yasr >/dev/null || { echo "yasr is not installed"; exit 77; }
transcript="$(python3 "$root/tools/hear_with_readers.py" "$1" yasr --short)"
echo "$transcript"
heard="$(sed -n 's/^ *[0-9.]* speak  //p' <<<"$transcript")"

if grep -Eq '^<[0-9]+ spaces>$' <<<"$heard"; then
  echo "FAIL: an utterance of spaces only"
  exit 1
fi
expected=(
  "Happy Koalas Hum"
  "Do you want instructions?  Y or N"
  "What is your first name?"
  "Okay Ann time to  hum!"
  "Guess a letter"
  "There are 2 matches"
  "Guess, Review or Pass, G, R or P"
  "I hope you had fun Ann"
  "You played 0 games and earned 0 points this session"
  "Thank you for playing Happy Koalas Hum."
  "Come back soon: the koalas are always humming new phrases."
  "Happy koalas hum Ann"
  "Press escape to exit"
)
line=0
for text in "${expected[@]}"; do
  count="$(grep -cxF -- "$text" <<<"$heard" || true)"
  if [ "$count" != 1 ]; then
    echo "FAIL: \"$text\" heard $count times"
    exit 1
  fi
  at="$(grep -nxF -- "$text" <<<"$heard" | cut -d: -f1)"
  if [ "$at" -le "$line" ]; then
    echo "FAIL: \"$text\" heard out of order"
    exit 1
  fi
  line="$at"
done
echo "PASS"
