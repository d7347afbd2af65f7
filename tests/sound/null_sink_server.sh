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
#   null_sink_server.sh record DIR FILE.wav   records the monitor at the sink's rate
#   null_sink_server.sh await-recording DIR   returns once samples reach the file
#   null_sink_server.sh stop-recording DIR
#   null_sink_server.sh kill|freeze DIR       SIGKILL / SIGSTOP the server
#   null_sink_server.sh stop DIR              stops the recording and the server
#
# Every process it starts is stopped by its PID (DIR/server.pids,
# DIR/recorder); it works as root and as a user. Each step waits on what
# the server shows (a socket, a sink's state), polling every 10 ms.
set -euo pipefail

command=${1:?command}
dir=$(realpath -m "${2:?folder}")
runtime="$dir/runtime"
address="unix:$runtime/pulse/native"

server_env() {
  exec env -u PULSE_SERVER -u PULSE_COOKIE -u DISPLAY -u WAYLAND_DISPLAY \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus" HOME="$dir" XDG_RUNTIME_DIR="$runtime" \
    XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state" PULSE_RUNTIME_PATH="$runtime/pulse" \
    PIPEWIRE_RUNTIME_DIR="$runtime" "$@"
}

pactl_here() { timeout 5 pactl --server="$address" "$@"; }

wait_until() {
  for _ in $(seq 1000); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.01
  done
  echo "gave up waiting for: $*; the server's log is in $dir/server.log" >&2
  return 1
}

# Started in the background as the server's own process, so $! is its PID.
launch() {
  server_env "$@" >>"$dir/server.log" 2>&1 &
  echo $! >>"$dir/server.pids"
}

# A process that has ended may stay a zombie until its new parent reaps it.
gone() { [[ "$(ps -o stat= -p "$1")" != [^Z]* ]]; }
wait_until_gone() { for pid in "$@"; do wait_until gone "$pid" || true; done; }

grown_to() { [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -ge "$2" ]; }

# "rec  ...  s16le 2ch 48000Hz  RUNNING" of `pactl list short sinks|sources`.
listed() { pactl_here list short "$1" | awk -v name="$2" '$2 == name'; }

start_pulseaudio() {
  # -n: no default script, so only these modules run; no autospawn, no
  # system-wide socket. As root the daemon only warns that it is not meant for
  # root; --system would change its whole setup.
  launch pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit \
    --no-cpu-limit --realtime=no --high-priority=no --log-target=stderr \
    -L "module-native-protocol-unix auth-anonymous=1" \
    -L "module-null-sink sink_name=rec $*" -L "module-always-sink"
  wait_until pactl_here info
}

# The session manager needs a session bus (a private one), and gives up at
# once if the server's socket is not there yet; it may still be setting up
# the graph when the PulseAudio service first answers.
start_pipewire() {
  launch dbus-daemon --session --nofork --address="unix:path=$runtime/bus"
  wait_until test -S "$runtime/bus"
  launch pipewire
  wait_until test -S "$runtime/pipewire-0"
  launch wireplumber
  launch pipewire-pulse
  wait_until pactl_here load-module module-null-sink sink_name=rec "$@"
  wait_until pactl_here set-default-sink rec
}

signal_server() {
  [ -f "$dir/server.pids" ] || return 0
  while read -r pid; do kill "-$1" "$pid" 2>/dev/null || true; done <"$dir/server.pids"
}

# What the sink has played reaches the file a moment later: the recording
# ends once 50 ms more have come in.
stop_recording() {
  [ -f "$dir/recorder" ] || return 0
  local pid file bytes_per_second
  read -r pid file bytes_per_second <"$dir/recorder"
  gone "$pid" || wait_until grown_to "$file" $(($(stat -c %s "$file") + bytes_per_second / 20)) || true
  kill -TERM "$pid" 2>/dev/null || true
  wait_until_gone "$pid"
  rm -f "$dir/recorder"
}

monitor_runs() { listed sources rec.monitor | grep -q RUNNING; }

case "$command" in
start)
  # A server killed before leaves its sockets behind.
  rm -rf "$runtime" "$dir/server.pids"
  mkdir -p "$runtime" "$dir/config" "$dir/state"
  chmod 700 "$runtime"
  kind=${3:-pulseaudio}
  shift $(($# < 3 ? $# : 3))
  "start_$kind" "$@"
  echo "$address"
  ;;
record)
  file=$(realpath -m "${3:?file}")
  # At the sink's rate ("s16le 2ch 48000Hz"), so nothing is resampled on the
  # way: one channel of 16-bit samples.
  rate=$(listed sinks rec | awk '{ print $6 + 0 }')
  timeout 300 parec --server="$address" -d rec.monitor --file-format=wav --format=s16le --channels=1 \
    --rate="$rate" --latency-msec=10 "$file" >/dev/null 2>>"$dir/record.log" &
  echo "$! $file $((2 * rate))" >"$dir/recorder"
  wait_until monitor_runs
  ;;
await-recording)
  # PulseAudio's monitor gives what its sink renders ahead of time only once
  # that time is past (up to 2 s on a sink at its defaults); a sound played
  # before the first of it reaches the file may be recorded as silence.
  read -r _ file _ <"$dir/recorder"
  wait_until grown_to "$file" 45
  ;;
stop-recording) stop_recording ;;
kill)
  signal_server KILL
  # The recorder ends with the server.
  if [ -f "$dir/recorder" ]; then wait_until_gone "$(cut -d' ' -f1 "$dir/recorder")"; fi
  ;;
freeze) signal_server STOP ;;
stop)
  signal_server CONT
  stop_recording
  signal_server TERM
  # shellcheck disable=SC2046
  wait_until_gone $(cat "$dir/server.pids" 2>/dev/null)
  signal_server KILL
  ;;
*) echo "unknown command $command" >&2; exit 2 ;;
esac
