#!/usr/bin/env bash
# Writes every sound of the game into data/: the spoken letters and phonetic
# words, the turn tones and cues, the fanfares and the opening and closing
# sounds. All files come out as plain 44-byte-header WAV, 22050 Hz, signed
# 16-bit, mono: the format the sound layer opens the device in, so nothing is
# converted at play time.
#
# Usage: tools/make_sounds.sh        (run as root or with sudo the first time,
#                                     to install the voices and sox)
#
# The output is byte-for-byte repeatable: the voices are deterministic, every
# sox call runs with -R (fixed seeds) and -D (no dither), and nothing reads the
# clock. The packages used, their versions and checksums, and a checksum of
# every file written are recorded in tools/sounds_inputs.txt.
#
# tools/sound_levels.py measures what comes out (loudness, edges) and
# tools/listen_check.py has a speech recogniser spell it back.
set -euo pipefail
export LC_ALL=C

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
data_dir="$repo_root/data"
inputs_record="$repo_root/tools/sounds_inputs.txt"
rate=22050

# Loudness (gated RMS, as tools/sound_levels.py measures it) of every spoken
# file and of the turn tones: the letters and words all sound equally loud, and
# the tones sit just above them.
speech_loudness=-18
tone_loudness=-17

# ---------------------------------------------------------------------------
# Tools

packages=(flite festival festvox-us-slt-hts sox python3)

install_missing_packages() {
    "$repo_root/scripts/install-packages.sh" "${packages[@]}" >&2
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

# The spelling voice is flite's "awb". A letter name said on its own comes
# out clipped and flat, and the short ones run together (B, E, P, V, D);
# said at the end of a sentence it gets the length and the fall of a word a
# speaker means to be heard. So every letter is said as "Letter b.", every
# spelling word as "Letter bravo.", and the take is cut where the
# synthesiser's own timings put the start of the word's first sound. The
# carrier ends in a smooth "er", which leaves nothing on the word; one ending
# in a stop ("Word echo.") leaves its release, a "d", before a vowel, and a
# word said alone starts with a breathy noise. A recogniser with a
# closed grammar (tools/listen_check.py) got 23 of the 26 letters right this
# way, 21.6 to 22 on average over five runs with dither: better than this voice
# alone (19), than longer carriers ("The letter b." 21, "Press b." 20, "b is
# next." 20), than flite's rms, slt and kal16 voices (20 to 21) and festival's
# slt voice (21) in the same sentences. The spelling words are right 26 of 26
# in any of these ways.
spelling_voice=awb

letter_names() { printf '%s\n' A B C D E F G H I J K L M N O P Q R S T U V W X Y Z; }

phonetic_words() {
    printf '%s\n' alpha bravo charlie delta echo foxtrot golf hotel india juliet kilo lima \
        mike november oscar papa quebec romeo sierra tango uniform victor whiskey xray yankee zulu
}

# The spelling-alphabet words as radio operators say them.
write_spelling_lexicon() {
    cat >"$work/spelling.lex" <<'LEX'
kilo : k iy1 l ow0
lima : l iy1 m ax0
foxtrot : f aa1 k s t r aa0 t
quebec : k eh0 b eh1 k
LEX
}

# flite's segments of a sentence as "name:end_seconds" words; the take goes to
# the file given, or nowhere.
spelling_segments() { # text wav|none
    flite -voice "$spelling_voice" -add_lex "$work/spelling.lex" -psdur -t "$1" -o "$2"
}

# Says "CARRIER TEXT." and keeps the take from the first sound of TEXT to the
# end, with a 5 ms fade-in so the cut is silent. The carrier said alone tells
# how many of the sentence's sounds are the carrier's; they must be the same
# sounds in the whole sentence, or the cut would fall in the wrong place.
speak_after_carrier() { # out carrier text
    local out=$1 carrier=$2 text=$3 raw="$work/sentence.wav" alone whole start
    alone=$(spelling_segments "$carrier." none)
    whole=$(spelling_segments "$carrier $text." "$raw")
    start=$(awk -v alone="$alone" -v whole="$whole" 'BEGIN {
        n = split(alone, a, " ") - 1          # the carrier less its closing pause
        split(whole, w, " ")
        for (i = 1; i <= n; i++) {
            split(a[i], x, ":"); split(w[i], y, ":")
            if (x[1] != y[1]) exit 1
        }
        split(w[n], y, ":"); print y[2] }') || {
        echo "make_sounds: \"$carrier $text.\" does not start with the sounds of \"$carrier.\"" >&2
        exit 1
    }
    sx "$raw" -e floating-point -b 32 "$out" trim "$start" fade h 0.005
}

synthesise_spelling() {
    local name text
    mkdir -p "$work/voice"
    write_spelling_lexicon
    while read -r name; do
        text=${name,,}
        # "x ray" as two words, or the voice reads "xray" as one made-up word
        speak_after_carrier "$work/voice/$name.wav" "Letter" "${text/xray/x ray}"
    done < <(letter_names; phonetic_words)
}

# The other spoken sounds, in festival's slt voice: name|text pairs.
speech_lines() {
    cat <<'LINES'
yes|yes!
koal|Happy koalas hum!
hah|hah!
LINES
}

synthesise_speech() {
    local scm="$work/speech.scm" name text
    mkdir -p "$work/voice"
    {
        echo "(voice_cmu_us_slt_arctic_hts)"
        # the game's name with all three syllables of "koalas"
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

# Sample indices of the first and last sample at or above -45 dBFS (once
# rounded to 16 bits: 185 of 32768), and the number of samples.
audible_span() {
    sx "$1" -t dat - | awk '
        /^;/ { next }
        { v = $2 < 0 ? -$2 : $2
          if (v >= 0.00566) { if (first == "") first = n; last = n }
          n++ }
        END { if (first == "") { first = 0; last = n - 1 } print first, last, n }'
}

# Gated RMS of a float file whose peak is at most full scale.
loudness_of() {
    sx "$1" -b 16 -e signed-integer "$work/measured.wav"
    python3 "$repo_root/tools/sound_levels.py" --loudness "$work/measured.wav"
}

bring_to_loudness() { # in out dB
    local gain
    gain=$(awk -v want="$3" -v now="$(loudness_of "$1")" 'BEGIN { printf "%.3f", want - now }')
    sx "$1" "$2" gain "$gain"
}

# Float file -> game file without dead air. The start is first faded in over
# 10 ms (raised cosine), so the first millisecond stays under -30 dBFS
# whatever the sound begins with; then at most 15 ms before the first and 40
# ms after the last sample at -45 dBFS are kept, and faded in and out over, so
# the file starts and ends at rest.
trim_to_sound() { # in out
    local soft="$work/soft.wav" first last n from to fade_in fade_out
    sx "$1" "$soft" fade h 0.010
    read -r first last n < <(audible_span "$soft")
    from=$((first - rate * 15 / 1000))
    [ "$from" -lt 0 ] && from=0
    to=$((last + 1 + rate * 40 / 1000))
    [ "$to" -gt "$n" ] && to=$n
    fade_in=$(awk -v s=$((first - from)) -v r="$rate" 'BEGIN { printf "%.6f", (s > 0 ? s : 1) / r }')
    fade_out=$(awk -v s=$((to - last - 1)) -v r="$rate" 'BEGIN { t = s / r; printf "%.6f", t < 0.012 ? 0.012 : t }')
    sx "$soft" "${out_format[@]}" "$2" trim "${from}s" "=${to}s" fade h "$fade_in" -0 "$fade_out"
}

# Voice take -> game file at the speech loudness. Extra sox effects (pitch,
# tempo) come first.
finish_speech() { # in out [extra effects]
    local in=$1 out=$2
    shift 2
    sx "$in" "${mid_format[@]}" "$work/resampled.wav" "$@" rate -v "$rate" gain -n -3
    bring_to_loudness "$work/resampled.wav" "$work/level.wav" "$speech_loudness"
    trim_to_sound "$work/level.wav" "$out"
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

# Last step for every synthesised sound: extra effects, mono, the peak at -4
# dBFS; then the level: with music_loudness set (the tones) the sound is
# brought to that loudness, otherwise a steady sound (buzz, brass, hum) is
# brought down until its RMS is no louder than -17 dBFS, so it does not drown
# the voice. Last, the dead air at either end goes.
finish_music() { # in out [extra effects]
    local in=$1 out=$2 staged="$work/staged.wav" rms cut
    shift 2
    # the extra effects get a pass of their own: a reverb tail must be there
    # before the level is measured
    sx "$in" "${mid_format[@]}" "$work/effects.wav" "$@" channels 1
    sx "$work/effects.wav" "$staged" gain -n -4
    if [ -n "${music_loudness:-}" ]; then
        bring_to_loudness "$staged" "$work/leveled.wav" "$music_loudness"
    else
        rms=$(sox "$staged" -n stats 2>&1 | awk '/^RMS lev dB/ { print $4 }')
        cut=$(awk -v r="$rms" 'BEGIN { c = -17 - r; printf "%.2f", c < 0 ? c : 0 }')
        sx "$staged" "$work/leveled.wav" gain "$cut"
    fi
    trim_to_sound "$work/leveled.wav" "$out"
}

# ---------------------------------------------------------------------------
# The sounds

make_spoken() {
    local name
    while read -r name; do
        finish_speech "$work/voice/$name.wav" "$data_dir/$name.wav"
    done < <(letter_names; phonetic_words)
    finish_speech "$work/voice/yes.wav" "$data_dir/yes.wav" pitch 250 tempo -s 1.05
    finish_speech "$work/voice/koal.wav" "$data_dir/koal.wav" pitch 150
}

# A hidden letter: a soft high tick that rings down within a beat, so dashes
# can be counted, and ends there.
make_blank() {
    # shellcheck disable=SC2046
    sx -r "$rate" -c 2 -n "${mid_format[@]}" "$work/tick.wav" synth 0.3 sine 1800 sine 3100 \
        remix 1v0.6,2v0.4 $(decay_to 0.15 2) gain -n -14
    trim_to_sound "$work/tick.wav" "$data_dir/blank.wav"
}

# One tone per uncovered position: the C major scale from C5 up.
make_tones() {
    local midis=(72 74 76 77 79 81 83 84) i music_loudness=$tone_loudness
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
    local f name len limit peak over=0
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
        peak=$(sox "$f" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
        if awk -v p="$peak" 'BEGIN { exit !(p > -1) }'; then
            echo "make_sounds: $name peaks at $peak dBFS, too close to clipping" >&2
            over=1
        fi
        if awk -v l="$len" -v m="$limit" 'BEGIN { exit !(l > m) }'; then
            echo "make_sounds: $name lasts $len s, more than $limit s" >&2
            over=1
        fi
    done
    [ "$over" -eq 0 ]
}

# What the sounds were made from, and a checksum of each file made, so a later
# run can be compared byte for byte. A package's checksum is that of the list
# of checksums of the files it installed.
record_inputs() {
    local pkg list
    {
        echo "# Written by tools/make_sounds.sh. Debian packages: name, version, SHA-256 of"
        echo "# the package's list of installed-file checksums."
        for pkg in "${packages[@]}" libflite1 festlex-cmu festlex-poslex libsox3; do
            list=/var/lib/dpkg/info/$pkg.md5sums
            [ -e "$list" ] || list=/var/lib/dpkg/info/$pkg:$(dpkg --print-architecture).md5sums
            printf '%s %s %s\n' "$pkg" "$(dpkg-query -W -f='${Version}' "$pkg")" \
                "$(sha256sum <"$list" | cut -d' ' -f1)"
        done
        echo "# tools/make_sounds.sh $(sha256sum <"$repo_root/tools/make_sounds.sh" | cut -d' ' -f1)"
        echo "# data/ (SHA-256, file):"
        (cd "$data_dir" && sha256sum -- *.wav)
    } >"$inputs_record"
}

# ---------------------------------------------------------------------------

main() {
    install_missing_packages
    mkdir -p "$data_dir"
    rm -f "$data_dir"/*.wav
    synthesise_spelling
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
    record_inputs
}

main "$@"
