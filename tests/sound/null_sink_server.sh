#!/usr/bin/env bash
# A private sound server for tests and the benchmark, set up as a desktop has
# it: a user-level PulseAudio daemon, or PipeWire with wireplumber and its
# PulseAudio service, with one null sink "rec" at the server's own defaults
# unless sink options are given, recorded from the sink's monitor.
#
# Private: the server lives in DIR with a runtime folder, home, session bus
# and configuration of its own, and answers only at the address it prints. No
# other client can find it: every default place a client looks (the user's
# runtime folder, /run/user/UID, ~/.config/pulse, the system socket, the
# session bus) is left to the rest of the machine.
#
#   null_sink_server.sh start DIR [pulseaudio|pipewire] [SINK-OPTION...]
#       prints the PULSE_SERVER address; SINK-OPTIONs go to module-null-sink
#       (rate=48000 channels=2 format=s16le ...)
#   null_sink_server.sh record DIR FILE [MS]
#       records the monitor MS milliseconds at a time (10): a FILE ending in
#       .wav in the sink's own format, any other raw s16le 22050 Hz mono
#   null_sink_server.sh stop-recording DIR
#   null_sink_server.sh kill|freeze DIR    SIGKILL / SIGSTOP the server
#   null_sink_server.sh stop DIR           stops the recording and the server
#
# Every process it starts is stopped by its PID (DIR/server.pids,
# DIR/record.pid); it works as root and as a user.
set -euo pipefail

command=${1:?command}
dir=$(realpath -m "${2:?folder}")
runtime="$dir/runtime"
address="unix:$runtime/pulse/native"

# Runs in the background as the server's own process, so $! is its PID.
server_env() {
  exec env -u PULSE_SERVER -u PULSE_COOKIE -u DISPLAY -u WAYLAND_DISPLAY \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus" HOME="$dir" XDG_RUNTIME_DIR="$runtime" \
    XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state" PULSE_RUNTIME_PATH="$runtime/pulse" \
    PIPEWIRE_RUNTIME_DIR="$runtime" "$@"
}

pactl_here() { timeout 5 pactl --server="$address" "$@"; }

wait_until() {
  for _ in $(seq 400); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.025
  done
  echo "the sound server did not come up ($*); its log is in $dir/server.log" >&2
  return 1
}

sink_up() { pactl_here list short sinks | grep -q "rec"; }

start_pulseaudio() {
  # -n: no default script, so only these modules run; no autospawn, no
  # system-wide socket. As root the daemon only warns that it is not meant for
  # root; --system would change its whole setup.
  server_env pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit \
    --no-cpu-limit --realtime=no --high-priority=no --log-target=stderr \
    -L "module-native-protocol-unix auth-anonymous=1" \
    -L "module-null-sink sink_name=rec $*" -L "module-always-sink" >"$dir/server.log" 2>&1 &
  echo $! >"$dir/server.pids"
  wait_until pactl_here info
}

# The session manager needs a session bus: a private one.
start_pipewire() {
  server_env dbus-daemon --session --nofork --address="unix:path=$runtime/bus" >"$dir/server.log" 2>&1 &
  echo $! >"$dir/server.pids"
  wait_until test -S "$runtime/bus"
  local program
  for program in pipewire wireplumber pipewire-pulse; do
    server_env "$program" >>"$dir/server.log" 2>&1 &
    echo $! >>"$dir/server.pids"
    # The session manager gives up at once if the server's socket is not there yet.
    if [ "$program" = pipewire ]; then wait_until test -S "$runtime/pipewire-0"; fi
  done
  wait_until pactl_here info
  # The session manager may still be setting up the graph: asked again.
  wait_until pactl_here load-module module-null-sink sink_name=rec "$@"
  wait_until sink_up
  wait_until pactl_here set-default-sink rec
}

signal_server() {
  [ -f "$dir/server.pids" ] || return 0
  while read -r pid; do kill "-$1" "$pid" 2>/dev/null || true; done <"$dir/server.pids"
}

wait_until_gone() {
  for pid in "$@"; do
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.02; done
  done
}

stop_recording() {
  [ -f "$dir/record.pid" ] || return 0
  local pid
  pid=$(cat "$dir/record.pid")
  kill -TERM "$pid" 2>/dev/null || true
  wait_until_gone "$pid"
  rm -f "$dir/record.pid"
}

recording_begun() { [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt 100 ]; }

# "s16le 2ch 48000Hz" of the sink, as parec options.
sink_format() {
  pactl_here list short sinks | awk '$2 == "rec" { sub("ch", "", $5); sub("Hz", "", $6);
    print "--format=" $4 " --channels=" $5 " --rate=" $6 }'
}

case "$command" in
start)
  # A server killed before leaves its sockets behind.
  rm -rf "$runtime"
  mkdir -p "$runtime" "$dir/config" "$dir/state"
  chmod 700 "$runtime"
  kind=${3:-pulseaudio}
  shift $(($# < 3 ? $# : 3))
  case "$kind" in
  pulseaudio) start_pulseaudio "$@" ;;
  pipewire) start_pipewire "$@" ;;
  *) echo "unknown server $kind" >&2; exit 2 ;;
  esac
  echo "$address"
  ;;
record)
  file=$(realpath -m "${3:?file}")
  format="--raw --format=s16le --rate=22050 --channels=1"
  [[ "$file" == *.wav ]] && format="--file-format=wav $(sink_format)"
  # shellcheck disable=SC2086
  timeout 300 parec --server="$address" -d rec.monitor $format --latency-msec="${4:-10}" "$file" >/dev/null \
    2>>"$dir/record.log" &
  echo $! >"$dir/record.pid"
  # Recording has begun once the first samples are in the file.
  wait_until recording_begun "$file"
  ;;
stop-recording) stop_recording ;;
kill) signal_server KILL ;;
freeze) signal_server STOP ;;
stop)
  stop_recording
  signal_server CONT
  signal_server TERM
  # shellcheck disable=SC2046
  wait_until_gone $(cat "$dir/server.pids" 2>/dev/null)
  signal_server KILL
  ;;
*) echo "unknown command $command" >&2; exit 2 ;;
esac
