# Sourced: start_pulse <dir> starts a private PulseAudio server with one null sink "music"
# (its monitor is a recording device that hears what is played into it), with its socket in
# <dir>, and exports XDG_RUNTIME_DIR and PULSE_SERVER for the programs of the test; sets
# pulse_pid. The server ends with the script.
start_pulse() {
  export XDG_RUNTIME_DIR=$1
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
  # As root it warns and runs, which is all a test needs.
  HOME=$XDG_RUNTIME_DIR pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --load="module-null-sink sink_name=music" --load=module-native-protocol-unix \
    >"$XDG_RUNTIME_DIR/pulseaudio.log" 2>&1 &
  pulse_pid=$!
  track "$pulse_pid"
  for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && return 0
    kill -0 "$pulse_pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$XDG_RUNTIME_DIR/pulseaudio.log" >&2
  return 1
}
