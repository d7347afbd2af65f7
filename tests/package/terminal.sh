# Shell helpers for the package tests: run a command in a private tmux
# server (80x25, the pane kept after the command ends) and read its screen.
# Source this file after setting scratch to a temporary folder.

tmux_socket="$scratch/tmux.socket"

# start_in_terminal <working directory> <command>: the command runs under a
# shell that writes its exit status to a file once it ends
start_in_terminal() {
    printf 'set -g remain-on-exit on\n' > "$scratch/tmux.conf"
    rm -f "$scratch/exit-status"
    tmux -S "$tmux_socket" -f "$scratch/tmux.conf" new-session -d -s game \
        -x 80 -y 25 -c "$1" -e SDL_AUDIODRIVER=dummy \
        "$2; echo \$? > '$scratch/exit-status.new'; mv '$scratch/exit-status.new' '$scratch/exit-status'"
}

stop_terminal() {
    tmux -S "$tmux_socket" kill-server 2>/dev/null || true
}

send_keys() {
    tmux -S "$tmux_socket" send-keys -t game "$@"
}

# screen_row <row>: the text of a row, counted from 1
screen_row() {
    tmux -S "$tmux_socket" capture-pane -p -t game | sed -n "$1p"
}

# text_at <column> <row> <text>: true if the text stands there (tmux drops
# the blanks at the end of a row, so the row is padded to 80 columns first)
text_at() {
    row_text=$(printf '%-80s' "$(screen_row "$2")")
    [ "${row_text:$(($1 - 1)):${#3}}" = "$3" ]
}

# wait_for_text <column> <row> <text>: waits up to 30 s for the text
wait_for_text() {
    for _ in $(seq 300); do
        text_at "$1" "$2" "$3" && return 0
        sleep 0.1
    done
    echo "FAIL: \"$3\" not at column $1, row $2; the screen was:" >&2
    tmux -S "$tmux_socket" capture-pane -p -t game >&2
    return 1
}

# wait_for_exit: waits up to 30 s for the command to end and prints its exit
# status (128 + N for signal N). The status comes from the shell around the
# command, not from tmux, which now and then misses the end of a pane's
# process and never learns its status.
wait_for_exit() {
    for _ in $(seq 300); do
        if [ -f "$scratch/exit-status" ]; then cat "$scratch/exit-status"; return 0; fi
        sleep 0.1
    done
    echo "FAIL: the game did not end; the screen was:" >&2
    tmux -S "$tmux_socket" capture-pane -p -t game >&2
    return 1
}

# expect_title_screen: the game's name and version where the title puts them
expect_title_screen() {
    wait_for_text 31 7 "Happy Koalas Hum" &&
    wait_for_text 28 9 "Version 1.0 for Windows"
}
