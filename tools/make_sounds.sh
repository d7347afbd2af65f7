#!/usr/bin/env bash
# Writes every sound of the game into data/: the spoken letters and phonetic
# words, the turn tones and cues, the fanfares and the opening and closing
# sounds. All files come out as plain 44-byte-header WAV, 22050 Hz, signed
# 16-bit, mono: the format the sound layer opens the device in, so nothing is
# converted at play time.
#
# Usage: tools/make_sounds.sh        (run as root the first time, to install
#                                     festival, its voice and sox)
#
# The output is byte-for-byte repeatable: the voice is deterministic, every sox
# call runs with -R (fixed seeds) and -D (no dither), and nothing reads the
# clock.
set -euo pipefail
export LC_ALL=C

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
data_dir="$repo_root/data"
rate=22050

# ---------------------------------------------------------------------------
# Tools

install_missing_packages() {
    local wanted=(festival festvox-us-slt-hts sox) missing=() pkg
    for pkg in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "make_sounds: needs these packages, run once as root: ${missing[*]}" >&2
        exit 1
    fi
    echo "make_sounds: installing ${missing[*]}" >&2
    apt-get -o DPkg::Lock::Timeout=600 update -q >&2
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 \
        install -y -q --no-install-recommends "${missing[@]}" >&2
}

# Every sox call: repeatable seeds, no dither, quiet, and the device format on
# output.
sx() { sox -R -D -V1 "$@"; }
out_format=(-r "$rate" -b 16 -e signed-integer -c 1)
# Work files between steps: float, so mixes and effects neither clip nor lose
# bits before the last step.
mid_format=(-r "$rate" -b 32 -e floating-point -c 1)

# Frequency in Hz of a MIDI note number (69 = A 440).
freq() { awk -v n="$1" 'BEGIN { printf "%.4f", 440 * 2 ^ ((n - 69) / 12) }'; }

# Seconds as a float, from an awk expression.
calc() { awk "BEGIN { printf \"%.6f\", $1 }"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ---------------------------------------------------------------------------
# Speech

# name|text pairs. Festival reads a lone "a" as the article, hence "ay"; the
# single letters b..z come out as their names. "x ray" keeps the two syllables
# apart (a joined "xray" is read as "zray").
speech_lines() {
    cat <<'EOF'
A|ay
B|b
C|c
D|d
E|e
F|f
G|g
H|h
I|i
J|j
K|k
L|l
M|m
N|n
O|o
P|p
Q|q
R|r
S|s
T|t
U|u
V|v
W|w
X|x
Y|y
Z|z
alpha|alpha
bravo|bravo
charlie|charlie
delta|delta
echo|echo
foxtrot|foxtrot
golf|golf
hotel|hotel
india|india
juliet|juliet
kilo|kilo
lima|lima
mike|mike
november|november
oscar|oscar
papa|papa
quebec|quebec
romeo|romeo
sierra|sierra
tango|tango
uniform|uniform
victor|victor
whiskey|whiskey
xray|x ray
yankee|yankee
zulu|zulu
yes|yes!
koal|Happy koalas hum!
hah|hah!
EOF
}

synthesise_speech() {
    local scm="$work/speech.scm" name text
    mkdir -p "$work/voice"
    {
        echo "(voice_cmu_us_slt_arctic_hts)"
        # The spelling-alphabet words as radio operators say them, and the
        # game's name with all three syllables of "koalas".
        echo "(lex.add.entry '(\"lima\" n (((l iy) 1) ((m ax) 0))))"
        echo "(lex.add.entry '(\"kilo\" n (((k iy) 1) ((l ow) 0))))"
        echo "(lex.add.entry '(\"foxtrot\" n (((f aa k s) 1) ((t r aa t) 0))))"
        echo "(lex.add.entry '(\"quebec\" n (((k eh) 0) ((b eh k) 1))))"
        echo "(lex.add.entry '(\"koalas\" n (((k ow) 0) ((aa) 1) ((l ax z) 0))))"
        echo "(define (say name text)"
        echo "  (utt.save.wave (utt.synth (eval (list 'Utterance 'Text text)))"
        echo "                 (string-append \"$work/voice/\" name \".wav\") 'riff))"
        while IFS='|' read -r name text; do
            echo "(say \"$name\" \"$text\")"
        done < <(speech_lines)
    } >"$scm"
    festival -b "$scm"
}

# Sample indices of the first and last sample at or above -45 dBFS.
audible_span() {
    sx "$1" -t dat - | awk '
        /^;/ { next }
        { v = $2 < 0 ? -$2 : $2
          if (v >= 0.0056234) { if (first == "") first = n; last = n }
          n++ }
        END { if (first == "") { first = 0; last = n - 1 } print first, last, n }'
}

# Voice take -> game file: peak to -3 dBFS, keep 25 ms before and 40 ms after
# the -45 dBFS crossings, 3 ms fade-in and 10 ms fade-out, resample, peak to
# -3 dBFS again. Extra sox effects (pitch, tempo) come first.
finish_speech() {
    local in=$1 out=$2
    shift 2
    local level="$work/level.wav" sr first last n from to pad_front=0
    sx "$in" -e floating-point -b 32 "$level" "$@" gain -n -3
    sr=$(soxi -r "$level")
    read -r first last n < <(audible_span "$level")
    from=$((first - sr * 25 / 1000))
    to=$((last + 1 + sr * 40 / 1000))
    if [ "$from" -lt 0 ]; then pad_front=$((-from)); from=0; fi
    [ "$to" -gt "$n" ] && to=$n
    sx "$level" "$work/trimmed.wav" trim "${from}s" "=${to}s" pad "${pad_front}s" 0
    sx "$work/trimmed.wav" "${out_format[@]}" "$out" fade q 0.003 -0 0.010 rate -v "$rate" gain -n -3
}

# ---------------------------------------------------------------------------
# Instruments. Each writes one note of a given length to a file; the length
# includes the decay, so notes can be laid end to end or mixed with offsets.

# Struck notes die away exponentially: the note is made `ring` times longer
# than asked, faded out logarithmically over that length (about -33 dB at a
# third of it) and cut to the length asked, with a short release at the end.
# Fade positions are given as absolute times: sox's "-0" (end of audio) goes
# wrong after an effect that changes the channel count.
decay_to() { # seconds ring
    local long; long=$(calc "$1 * $2")
    echo fade q 0.002 "$long" "$long" fade l 0 "$long" "$long" trim 0 "$1" fade q 0 "$1" 0.012
}

# Marimba-like mallet: fundamental, a soft octave and the bar's fourth partial.
note_mallet() { # out midi seconds
    local f; f=$(freq "$2")
    # shellcheck disable=SC2046
    sx -r "$rate" -c 3 -n "${mid_format[@]}" "$1" synth "$(calc "$3 * 4")" \
        sine "$f" sine "$(calc "$f * 2")" sine "$(calc "$f * 3.93")" \
        remix 1v0.70,2v0.20,3v0.08 $(decay_to "$3" 4)
}

# The weight of a partial, or 0 when it would lie so close to the 11025 Hz
# limit of the file that it folds back as a stray whistle.
below_9k() { awk "BEGIN { print ($1 < 9000) ? $2 : 0 }"; }

# Bell: inharmonic partials with a long tail.
note_bell() { # out midi seconds
    local f; f=$(freq "$2")
    # shellcheck disable=SC2046
    sx -r "$rate" -c 4 -n "${mid_format[@]}" "$1" synth "$(calc "$3 * 3")" \
        sine "$f" sine "$(calc "$f * 2.01")" sine "$(calc "$f * 2.76")" sine "$(calc "$f * 5.40")" \
        remix "1v0.55,2v0.25,3v0.15,4v$(below_9k "$f * 5.40" 0.05)" $(decay_to "$3" 3)
}

# Brass: a slightly detuned sawtooth pair through a low-pass, quick attack,
# held, short release.
note_brass() { # out midi seconds
    local f; f=$(freq "$2")
    sx -r "$rate" -c 2 -n "${mid_format[@]}" "$1" synth "$3" sawtooth "$f" sawtooth "$(calc "$f * 1.004")" \
        remix 1v0.5,2v0.5 lowpass 2400 lowpass 2400 fade h 0.018 "$3" 0.04
}

# Plucked string (Karplus-Strong style, seeded by -R), softened; sox plucks
# only at 44.1 kHz and up.
note_pluck() { # out midi seconds
    local f; f=$(freq "$2")
    sx -r 44100 -n "${mid_format[@]}" "$1" synth "$3" pluck "$f" \
        lowpass 4500 fade q 0.002 "$3" 0.03 rate -v "$rate"
}

# Hummed voice: the soft harmonics of a closed-mouth "mmm", a slow waver, and
# swells in and out so that notes laid end to end flow into each other.
note_hum() { # out midi seconds
    local f; f=$(freq "$2")
    sx -r "$rate" -c 4 -n "${mid_format[@]}" "$1" synth "$3" \
        sine "$f" sine "$(calc "$f * 2")" sine "$(calc "$f * 3")" sine "$(calc "$f * 4")" \
        remix 1v0.62,2v0.22,3v0.10,4v0.04 tremolo 5.5 12 fade h 0.05 "$3" 0.06
}

# A phrase: notes laid on a timeline and mixed. Each line of the score is
# "instrument midi start length [volume]" (seconds). The phrase ends with the
# latest note.
play_score() { # out  < score
    local out=$1 inst midi start len vol i=0 lines=() inputs=()
    while read -r inst midi start len vol; do
        [ -n "$inst" ] && lines+=("$inst $midi $start $len ${vol:-1}")
    done
    # Each note at 1/n of its volume, as a plain mix would, so the sum cannot
    # clip; the finishing step brings the peak back up.
    local count=${#lines[@]}
    for i in "${!lines[@]}"; do
        read -r inst midi start len vol <<<"${lines[$i]}"
        "note_$inst" "$work/raw_$i.wav" "$midi" "$len"
        sx "$work/raw_$i.wav" "$work/score_$i.wav" pad "$start" 0
        inputs+=(-v "$(calc "$vol / $count")" "$work/score_$i.wav")
    done
    if [ "$count" -eq 1 ]; then
        sx "${inputs[@]}" "$out"
    else
        sx -m "${inputs[@]}" "$out"
    fi
    rm -f "$work"/score_*.wav "$work"/raw_*.wav
}

# Last step for every synthesised sound: extra effects, mono, a fade-out so
# the file ends at rest, and the peak at -3 dBFS; a steady sound (buzz, brass,
# hum) is then brought down until its RMS is no louder than -15 dBFS, so it
# does not drown the voice, whose RMS sits around -17 dBFS.
finish_music() { # in out [extra effects]
    local in=$1 out=$2 staged="$work/staged.wav" rms cut
    shift 2
    # fade finds the end of the sound only in a chain that keeps its length
    # and channels, so the extra effects get a pass of their own
    sx "$in" "${mid_format[@]}" "$work/effects.wav" "$@" channels 1
    sx "$work/effects.wav" "$staged" fade q 0.002 -0 0.012 gain -n -3
    rms=$(sox "$staged" -n stats 2>&1 | awk '/^RMS lev dB/ { print $4 }')
    cut=$(awk -v r="$rms" 'BEGIN { c = -15 - r; printf "%.2f", c < 0 ? c : 0 }')
    sx "$staged" "${out_format[@]}" "$out" gain "$cut"
}

# ---------------------------------------------------------------------------
# The sounds

make_spoken() {
    local name text
    while IFS='|' read -r name text; do
        case $name in
            hah) ;;                                    # raw material for the laugh
            yes) finish_speech "$work/voice/yes.wav" "$data_dir/yes.wav" pitch 250 tempo -s 1.05 ;;
            koal) finish_speech "$work/voice/koal.wav" "$data_dir/koal.wav" pitch 150 ;;
            *) finish_speech "$work/voice/$name.wav" "$data_dir/$name.wav" ;;
        esac
    done < <(speech_lines)
}

# A hidden letter: one soft tick, then a beat of quiet so dashes can be counted.
make_blank() {
    sx -r "$rate" -c 2 -n "${mid_format[@]}" "$work/tick.wav" synth 0.012 sine 1800 sine 3100 remix 1v0.6,2v0.4 fade l 0 -0 0.012
    sx "$work/tick.wav" "${out_format[@]}" "$data_dir/blank.wav" gain -n -14 pad 0 0.19
}

# One tone per uncovered position: the C major scale from C5 up.
make_tones() {
    local midis=(72 74 76 77 79 81 83 84) i
    for i in 0 1 2 3 4 5 6 7; do
        note_mallet "$work/tone.wav" "${midis[$i]}" 0.25
        finish_music "$work/tone.wav" "$data_dir/tone$((i + 1)).wav"
    done
}

# A letter found nowhere: a low, rough buzz.
make_wrong_letter() {
    sx -r "$rate" -c 2 -n "${mid_format[@]}" "$work/buzz.wav" synth 0.38 sawtooth 98 square 98.6 \
        remix 1v0.6,2v0.4 lowpass 900 fade h 0.008 -0 0.05
    finish_music "$work/buzz.wav" "$data_dir/wrle.wav"
}

# A malformed guess line: two short dull bonks.
make_bad_guess() {
    play_score "$work/bagu_raw.wav" <<'EOF'
brass 55 0.00 0.08
brass 55 0.13 0.08
EOF
    finish_music "$work/bagu_raw.wav" "$data_dir/bagu.wav" lowpass 1100
}

# A wrong phrase: "uh-oh", a falling third on muted brass.
make_wrong_phrase() {
    play_score "$work/wran_raw.wav" <<'EOF'
brass 64 0.00 0.20 1
brass 60 0.22 0.38 1
EOF
    finish_music "$work/wran_raw.wav" "$data_dir/wran.wav" lowpass 1500
}

# A credited word: a bright two-note chime.
make_word_credit() {
    play_score "$work/woma_raw.wav" <<'EOF'
bell 88 0.00 0.55
bell 95 0.08 0.50
EOF
    finish_music "$work/woma_raw.wav" "$data_dir/woma.wav"
}

# A new round: a quick rising pluck arpeggio.
make_new_round() {
    play_score "$work/plso_raw.wav" <<'EOF'
pluck 67 0.00 0.30
pluck 72 0.09 0.30
pluck 76 0.18 0.30
pluck 79 0.27 0.30
pluck 84 0.36 0.50
EOF
    finish_music "$work/plso_raw.wav" "$data_dir/plso.wav"
}

# Leaving the session: two soft falling mallet notes.
make_quit() {
    play_score "$work/quit_raw.wav" <<'EOF'
mallet 79 0.00 0.30
mallet 72 0.18 0.45
EOF
    finish_music "$work/quit_raw.wav" "$data_dir/quit.wav"
}

# A win below full points: a brass call, "yes", and a chord to land on.
make_win() {
    play_score "$work/rian1_raw.wav" <<'EOF'
brass 67 0.00 0.11
brass 67 0.13 0.11
brass 67 0.26 0.11
brass 72 0.39 0.45
brass 64 0.39 0.45 0.6
EOF
    finish_music "$work/rian1_raw.wav" "$data_dir/rian1.wav"
    play_score "$work/rian2_raw.wav" <<'EOF'
brass 76 0.00 0.12
brass 79 0.14 0.12
brass 84 0.28 0.70
brass 76 0.28 0.70 0.6
brass 72 0.28 0.70 0.6
brass 48 0.28 0.70 0.5
EOF
    finish_music "$work/rian2_raw.wav" "$data_dir/rian2.wav" pad 0 0.3 reverb 25 50 40
}

# Full points: a bar that repeats seamlessly (it plays three times in a row:
# the notes fall on a 0.125 s grid and the bar lasts exactly six steps, so the
# repeats keep the beat), then "yes" and a big finish.
make_full_points() {
    play_score "$work/fupo1_raw.wav" <<'EOF'
brass 72 0.000 0.11
bell  84 0.000 0.12 0.5
brass 76 0.125 0.11
brass 79 0.250 0.11
brass 84 0.375 0.36
bell  91 0.375 0.36 0.5
EOF
    sx "$work/fupo1_raw.wav" "$work/fupo1_bar.wav" pad 0 1 trim 0 0.75
    finish_music "$work/fupo1_bar.wav" "$data_dir/fupo1.wav"
    play_score "$work/fupo2_raw.wav" <<'EOF'
brass 79 0.000 0.11
brass 79 0.125 0.11
brass 84 0.250 1.00
brass 79 0.250 1.00 0.6
brass 76 0.250 1.00 0.6
brass 48 0.250 1.00 0.6
bell  96 0.250 1.00 0.5
bell  36 0.250 1.00 0.8
EOF
    finish_music "$work/fupo2_raw.wav" "$data_dir/fupo2.wav" pad 0 0.2 reverb 30 50 50
}

# A lost round: the sad trombone, slowly falling, the last note wobbling.
make_loss() {
    play_score "$work/nopo_a.wav" <<'EOF'
brass 67 0.00 0.28
brass 66 0.30 0.28
brass 65 0.60 0.28
EOF
    note_brass "$work/nopo_last.wav" 64 0.55
    sx "$work/nopo_last.wav" "$work/nopo_b.wav" tremolo 6 60 pad 0.90 0
    sx -m "$work/nopo_a.wav" "$work/nopo_b.wav" "$work/nopo_raw.wav"
    finish_music "$work/nopo_raw.wav" "$data_dir/nopo.wav" lowpass 1100
}

# The intro jingle: a plucked melody over a bass line, ending on the tonic.
make_intro() {
    play_score "$work/intr_raw.wav" <<'EOF'
pluck 72 0.00 0.30
pluck 76 0.16 0.30
pluck 79 0.32 0.30
pluck 84 0.48 0.30
pluck 81 0.64 0.30
pluck 79 0.80 0.30
pluck 76 0.96 0.30
pluck 79 1.12 0.30
pluck 77 1.28 0.30
pluck 81 1.44 0.30
pluck 79 1.60 0.30
pluck 83 1.76 0.30
pluck 84 1.92 0.60
bell  84 1.92 0.60 0.5
pluck 48 0.00 0.60 0.8
pluck 43 0.64 0.60 0.8
pluck 41 1.28 0.60 0.8
pluck 43 1.60 0.30 0.8
pluck 48 1.92 0.60 0.8
EOF
    finish_music "$work/intr_raw.wav" "$data_dir/intr.wav" pad 0 0.3 reverb 20 50 40
}

# A hummed tune, legato.
make_hum() {
    play_score "$work/hum_raw.wav" <<'EOF'
hum 64 0.00 0.36
hum 67 0.32 0.36
hum 69 0.64 0.36
hum 67 0.96 0.52
hum 64 1.44 0.36
hum 62 1.76 0.36
hum 60 2.08 0.70
EOF
    finish_music "$work/hum_raw.wav" "$data_dir/hum.wav" lowpass 1200
}

# Goodbye: a falling bell arpeggio coming to rest on a low C.
make_exit() {
    play_score "$work/exit_raw.wav" <<'EOF'
bell 84 0.00 0.60
bell 79 0.18 0.60
bell 76 0.36 0.60
bell 72 0.54 1.00
bell 60 0.54 1.00 0.6
EOF
    finish_music "$work/exit_raw.wav" "$data_dir/exit.wav" pad 0 0.4 reverb 30 50 50
}

# A laugh: "hah" four times, each a little lower and softer.
make_laugh() {
    local take="$work/hah.wav" shifts=(450 300 150 0) vols=(1.0 0.9 0.8 0.7) i parts=()
    finish_speech "$work/voice/hah.wav" "$take" tempo -s 1.6
    for i in 0 1 2 3; do
        sx "$take" "$work/hah_$i.wav" pitch "${shifts[$i]}" vol "${vols[$i]}" pad 0 0.04
        parts+=("$work/hah_$i.wav")
    done
    sx "${parts[@]}" "$work/haha_raw.wav"
    finish_music "$work/haha_raw.wav" "$data_dir/haha.wav"
}

# ---------------------------------------------------------------------------
# Checks

# A plain 44-byte RIFF header describing PCM 22050 Hz 16-bit mono, followed by
# the samples and nothing else.
check_header() {
    local file=$1 size found want
    size=$(stat -c %s "$file")
    found=$(od -A n -t x1 -N 44 "$file" | tr -d ' \n')
    # RIFF <size-8> WAVE, "fmt " of 16 bytes: PCM, 1 channel, rate, byte rate,
    # block align 2, 16 bits; then "data" <size-44>.
    want="52494646$(le32 $((size - 8)))57415645"
    want+="666d7420$(le32 16)0100""0100$(le32 "$rate")$(le32 $((rate * 2)))02001000"
    want+="64617461$(le32 $((size - 44)))"
    if [ "$found" != "$want" ]; then
        echo "make_sounds: $file does not have the plain device-format header" >&2
        exit 1
    fi
}

le32() { printf '%02x%02x%02x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }

report_lengths() {
    local f name len limit over=0
    for f in "$data_dir"/*.wav; do
        check_header "$f"
        name=$(basename "$f" .wav)
        len=$(soxi -D "$f")
        case $name in
            [A-Z]) limit=0.75 ;;
            tone?) limit=0.30 ;;
            plso | koal | rian1 | rian2 | fupo1 | fupo2 | yes) limit=1.5 ;;
            intr | hum | exit | haha) limit=3.0 ;;
            *) limit=1.5 ;;
        esac
        printf '%-10s %s\n' "$name" "$len"
        if awk -v l="$len" -v m="$limit" 'BEGIN { exit !(l > m) }'; then
            echo "make_sounds: $name lasts $len s, more than $limit s" >&2
            over=1
        fi
    done
    [ "$over" -eq 0 ]
}

# ---------------------------------------------------------------------------

main() {
    install_missing_packages
    mkdir -p "$data_dir"
    rm -f "$data_dir"/*.wav
    synthesise_speech
    make_spoken
    make_blank
    make_tones
    make_wrong_letter
    make_bad_guess
    make_wrong_phrase
    make_word_credit
    make_new_round
    make_quit
    make_win
    make_full_points
    make_loss
    make_intro
    make_hum
    make_exit
    make_laugh
    local count
    count=$(find "$data_dir" -maxdepth 1 -name '*.wav' | wc -l)
    if [ "$count" -ne 78 ]; then
        echo "make_sounds: wrote $count files, expected 78" >&2
        exit 1
    fi
    report_lengths
}

main "$@"
