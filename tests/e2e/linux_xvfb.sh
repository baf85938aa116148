#!/usr/bin/env bash
# The Linux program in a private Xvfb (1024x768x24):
#   /s covers the screen with a pattern on black, a second /s leaves at once with 0, a key ends the first
#   with 0; /p draws into a window this script creates and ends with that window; a fault
#   clears the screen-saver-running flag before the process dies.
# Usage: linux_xvfb.sh <lumivane binary>
set -u
lumivane=$1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

work=$(mktemp -d)
export LUMIVANE_HOME=$work/home
mkdir -p "$LUMIVANE_HOME"
. "$(dirname "$0")/xvfb.sh"
start_xvfb 24 || { echo "FAIL: Xvfb did not start"; exit 1; }
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Window id of the first window with this exact name, waiting up to ~10 s.
wait_window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}


# ---- full screen ----
"$lumivane" /s &
saver_pid=$!
pids+=("$saver_pid")
if id=$(wait_window "Screen Saver"); then
  geometry=$(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} /Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print x","y" "w"x"h}')
  [ "$geometry" = "0,0 1024x768" ] || fail "saver window at $geometry, expected 0,0 1024x768"
  class=$(xprop -id "$id" WM_CLASS 2>/dev/null)
  case "$class" in *'"WindowsScreenSaverClass"'*) ;; *) fail "saver WM_CLASS: $class" ;; esac
  sleep 0.5
  colours=$(area_colours 0 0 1024 768)
  [ "$(wc -l <<<"$colours")" -gt 1 ] && head -n 1 <<<"$colours" | grep -q ' 0[[:space:]]0[[:space:]]0$' ||
    fail "the screen is not a pattern on black: $(head -n 3 <<<"$colours" | tr '\n' ';')"

  start=$(date +%s%N)
  timeout 10 "$lumivane" /s
  rc=$?
  took=$(( ($(date +%s%N) - start) / 1000000 ))
  [ "$rc" -eq 0 ] || fail "second /s exited $rc"
  echo "second /s left after ${took} ms"
  kill -0 "$saver_pid" 2>/dev/null || fail "the second /s ended the first"

  xdotool key --window "$id" space 2>/dev/null || xdotool key space
else
  fail "/s showed no window"
fi
for _ in $(seq 50); do kill -0 "$saver_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$saver_pid" 2>/dev/null; then
  fail "a key did not end /s"
else
  wait "$saver_pid"
  rc=$?
  [ "$rc" -eq 0 ] || fail "/s ended with $rc after a key, expected 0"
fi
grep -qi '^LastSpeed=' "$LUMIVANE_HOME/control.ini" 2>/dev/null || fail "no LastSpeed written"

# ---- preview in a window of ours ----
python3 "$(dirname "$0")/bare_window.py" "Preview Parent" 320x240+100+100 >/dev/null &
parent_pid=$!
pids+=("$parent_pid")
# A white neighbour that must stay white.
python3 "$(dirname "$0")/bare_window.py" "Neighbour" 60x60+430+100 >/dev/null &
pids+=($!)
if parent=$(wait_window "Preview Parent"); then
  "$lumivane" /p "$parent" &
  preview_pid=$!
  pids+=("$preview_pid")
  sleep 1.5
  kill -0 "$preview_pid" 2>/dev/null || fail "/p $parent ended at once"
  colours=$(area_colours 100 100 320 240)
  [ "$(wc -l <<<"$colours")" -gt 1 ] && head -n 1 <<<"$colours" | grep -q ' 0[[:space:]]0[[:space:]]0$' ||
    fail "the preview drew no pattern on black in its parent: $(head -n 2 <<<"$colours" | tr '\n' ';')"
  colours=$(area_colours 430 100 60 60)
  [ "$colours" = "$(printf '%7d 255\t255\t255' 3600)" ] || fail "the preview drew outside its parent"
  xdotool mousemove 200 200 mousemove 260 230 key space 2>/dev/null
  sleep 0.5
  kill -0 "$preview_pid" 2>/dev/null || fail "input ended the preview"
  kill "$parent_pid"
  for _ in $(seq 50); do kill -0 "$preview_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$preview_pid" 2>/dev/null; then
    fail "the preview outlived its parent"
  else
    wait "$preview_pid"
    rc=$?
    [ "$rc" -eq 0 ] || fail "/p ended with $rc when its parent went, expected 0"
  fi
else
  fail "could not create the parent window"
fi

# ---- a fault clears the screen-saver-running flag on its way out ----
flag=_LUMIVANE_SCREENSAVER_RUNNING
xprop -root -f "$flag" 32c -set "$flag" 1
"$lumivane" /s &
faulting_pid=$!
pids+=("$faulting_pid")
if wait_window "Screen Saver" >/dev/null; then
  xprop -root "$flag" | grep -q '= 1' || fail "the flag did not stay set while the saver ran"
  kill -SEGV "$faulting_pid"
  wait "$faulting_pid"
  rc=$?
  [ "$rc" -eq $((128 + 11)) ] || fail "the faulting saver ended with $rc, expected death by SIGSEGV"
  xprop -root "$flag" | grep -q 'not found' || fail "the fault left the flag set: $(xprop -root "$flag")"
else
  fail "/s showed no window for the fault test"
fi

help=$("$lumivane" --help); rc=$?
[ "$rc" -eq 0 ] && grep -q '/p <xid>' <<<"$help" || fail "--help exited $rc or left out the preview switch"

[ "$failures" -eq 0 ] && echo "linux_xvfb: all passed"
[ "$failures" -eq 0 ]
