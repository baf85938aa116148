#!/usr/bin/env bash
# The Windows module under Wine on a palette display (a private Xvfb at depth 8):
#   /p 0 and /x end with -1; /s shows the topmost full-screen "Screen Saver" window of class
#   WindowsScreenSaverClass, a key ends it with 0.
# Usage: wine_scr.sh <LUMIVA95.SCR> <saver_probe.exe>
set -u
scr=$1
probe=$2
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
: "${WINEPREFIX:?WINEPREFIX must name an initialised Wine prefix}"
export WINEPREFIX

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

display=:$((300 + RANDOM % 300))
Xvfb "$display" -screen 0 1024x768x8 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
saver_pid=
cleanup() {
  [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "FAIL: Xvfb $display did not start"; exit 1; }

for tail in "/p 0" "/x"; do
  # shellcheck disable=SC2086 # the tail is two words on purpose
  timeout 60 wine "$scr" $tail
  rc=$?
  [ "$rc" -eq 255 ] || fail "'$tail' exited $rc, expected -1 (255)"
done

timeout 120 wine "$scr" /s &
saver_pid=$!
found=
for _ in $(seq 60); do
  if found=$(timeout 30 wine "$probe" 2>/dev/null); then
    found=${found%$'\r'}
    break
  fi
  found=
  sleep 0.5
done
if [ -z "$found" ]; then
  fail "/s showed no saver window"
else
  echo "saver: $found"
  [ "$found" = "visible=1 topmost=1 size=1024x768 palette=1" ] || fail "unexpected saver window: $found"
  # A second start finds the first and leaves at once.
  timeout 60 wine "$scr" /s
  rc=$?
  [ "$rc" -eq 0 ] || fail "second /s exited $rc"
  timeout 30 wine "$probe" >/dev/null 2>&1 || fail "the second /s ended the first"
  xdotool search --name '^Screen Saver$' windowfocus --sync key space 2>/dev/null ||
    xdotool key space
fi
wait "$saver_pid"
rc=$?
saver_pid=
[ "$rc" -eq 0 ] || fail "/s ended with $rc after the key, expected 0"

[ "$failures" -eq 0 ] && echo "wine_scr: all passed"
[ "$failures" -eq 0 ]
