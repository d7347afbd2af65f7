#!/usr/bin/env bash
# A private sound server for tests: a user-level PulseAudio daemon, or
# PipeWire with its PulseAudio service, in a runtime folder of its own, with
# one null sink "rec" (22050 Hz, mono, 16 bit) whose monitor can be recorded.
# Every process it starts is stopped by its PID; it works as root and as a user.
#
#   null_sink_server.sh start DIR [pulseaudio|pipewire]  prints the PULSE_SERVER address
#   null_sink_server.sh record DIR FILE [MS]  records raw s16le 22050 Hz mono into FILE,
#                                          MS milliseconds at a time (10)
#   null_sink_server.sh stop-recording DIR
#   null_sink_server.sh kill|freeze|thaw DIR   SIGKILL / SIGSTOP / SIGCONT the server
#   null_sink_server.sh stop DIR           stops the recording and the server
#
# A client finds the server with PULSE_SERVER=<printed address>; the server's
# processes are listed in DIR/server.pids, the recorder's in DIR/record.pid.
set -euo pipefail

command=${1:?command}
dir=$(realpath -m "${2:?folder}")
runtime="$dir/runtime"
address="unix:$runtime/pulse/native"

# Runs in the background as the server's own process, so $! is its PID.
server_env() {
  exec env -u PULSE_SERVER DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus" HOME="$dir" XDG_RUNTIME_DIR="$runtime" \
    XDG_CONFIG_HOME="$dir/config" XDG_STATE_HOME="$dir/state" PULSE_RUNTIME_PATH="$runtime/pulse" \
    PIPEWIRE_RUNTIME_DIR="$runtime" "$@"
}

pactl_here() { timeout 5 pactl --server="$address" "$@"; }

wait_for_server() {
  for _ in $(seq 100); do
    pactl_here info >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  echo "the sound server did not answer; its log is in $dir/server.log" >&2
  return 1
}

wait_for_sink() {
  for _ in $(seq 100); do
    pactl_here list short sinks 2>/dev/null | grep -q "rec" && return 0
    sleep 0.05
  done
  echo "the null sink did not appear" >&2
  return 1
}

start_pulseaudio() {
  # -n: no default script, so only these modules run. As root the daemon only
  # warns that it is not meant for root; --system would change its whole setup.
  server_env pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit \
    --no-cpu-limit --realtime=no --high-priority=no --log-target=stderr \
    -L "module-native-protocol-unix auth-anonymous=1" \
    -L "module-null-sink sink_name=rec rate=22050 channels=1 format=s16le norewinds=1" \
    -L "module-always-sink" >"$dir/server.log" 2>&1 &
  echo $! >"$dir/server.pids"
  wait_for_server
}

# The session manager needs a session bus: a private one.
start_pipewire() {
  server_env dbus-daemon --session --nofork --address="unix:path=$runtime/bus" >"$dir/server.log" 2>&1 &
  echo $! >"$dir/server.pids"
  for _ in $(seq 100); do [ -S "$runtime/bus" ] && break; sleep 0.02; done
  server_env pipewire >>"$dir/server.log" 2>&1 &
  echo $! >>"$dir/server.pids"
  sleep 0.2
  server_env wireplumber >>"$dir/server.log" 2>&1 &
  echo $! >>"$dir/server.pids"
  server_env pipewire-pulse >>"$dir/server.log" 2>&1 &
  echo $! >>"$dir/server.pids"
  wait_for_server
  pactl_here load-module module-null-sink sink_name=rec rate=22050 channels=1 format=s16le \
    sink_properties=audio.position=MONO >/dev/null
  wait_for_sink
  pactl_here set-default-sink rec
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

case "$command" in
start)
  mkdir -p "$runtime" "$dir/config" "$dir/state"
  chmod 700 "$runtime"
  case "${3:-pulseaudio}" in
  pulseaudio) start_pulseaudio ;;
  pipewire) start_pipewire ;;
  *) echo "unknown server ${3}" >&2; exit 2 ;;
  esac
  echo "$address"
  ;;
record)
  file=$(realpath -m "${3:?file}")
  timeout 300 parec --server="$address" -d rec.monitor --raw --format=s16le --rate=22050 --channels=1 \
    --latency-msec="${4:-10}" >"$file" 2>>"$dir/record.log" &
  echo $! >"$dir/record.pid"
  # Recording has begun once the first samples are in the file.
  for _ in $(seq 250); do
    [ -s "$file" ] && exit 0
    sleep 0.02
  done
  echo "parec did not start" >&2
  exit 1
  ;;
stop-recording) stop_recording ;;
kill) signal_server KILL ;;
freeze) signal_server STOP ;;
thaw) signal_server CONT ;;
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
