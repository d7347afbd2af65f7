#!/usr/bin/env bash
# A short session read by yasr (tools/hear_with_readers.py): every essential
# text (essential_texts.txt) is heard once, in order, and no utterance is
# only spaces.
# Usage: heard_by_yasr.sh GAME
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
command -v yasr >/dev/null || { echo "yasr is not installed"; exit 77; }
transcript="$(python3 "$here/../../tools/hear_with_readers.py" "$1" yasr --short)"
echo "$transcript"
heard="$(sed -n 's/^ *[0-9.]* speak  //p' <<<"$transcript")"
grep -Eq '^<[0-9]+ spaces>$' <<<"$heard" && { echo "FAIL: an utterance of spaces only"; exit 1; }
# What was heard of the essential texts, in order (<), against each once (>).
diff <(grep -xF -f "$here/essential_texts.txt" <<<"$heard") "$here/essential_texts.txt" ||
    { echo "FAIL: the essential texts were not heard once each, in order"; exit 1; }
echo "PASS"
