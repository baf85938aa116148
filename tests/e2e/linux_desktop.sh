#!/usr/bin/env bash
# The Linux program on a desktop, in a private Xvfb with two screens:
#   each failure (no display, a wrong one, an unknown switch, a bad preview window, a bad
#   --display) exits 255 with one line on standard error and nothing on standard output;
#   DISPLAY=:N.1 puts the saver on screen 1;
#   screen 0 split into two RandR monitors: the pattern covers the primary (right) one at its
#   size, a black window of the saver the other, where a click or a movement ends the saver;
#   scripts/run says where it keeps the settings the first time it creates them;
#   a preview follows its host window when that is resized.
# Screenshots go to $E2E_SCREENSHOTS when set.
# Usage: linux_desktop.sh <lumivane binary>
set -u
lumivane=$1
here=$(dirname "$0")

. "$(dirname "$0")/checks.sh"

shots=${E2E_SCREENSHOTS:-$work}
mkdir -p "$shots"
export LUMIVANE_HOME=$work/home
. "$here/xvfb.sh"

# lit <display> <x> <y> <w> <h> [png]: "<count> <centre x> <centre y>" of that screen area.
lit() {
  xwd -root -silent -display "$1" | xwdtopnm 2>/dev/null | pnmdepth 255 >"$work/shot.ppm"
  [ -n "${6:-}" ] && pnmtopng <"$work/shot.ppm" >"$6"
  python3 "$here/lit_area.py" "$2" "$3" "$4" "$5" <"$work/shot.ppm"
}

# centred_pattern <display> <x> <y> <w> <h> [png]: the area shows a pattern on black (a fifth
# of it black at least, next to no pure white: a host window's own white background is not a
# pattern) whose lit pixels are centred within a tenth of its size.
centred_pattern() {
  local count cx cy white area=$(($4 * $5))
  read -r count cx cy white < <(lit "$@")
  [ "$count" -gt 500 ] && [ "$count" -lt $((area * 4 / 5)) ] && [ "$white" -lt $((area / 50)) ] &&
    [ $(((cx - $4 / 2) * 10 / $4)) -eq 0 ] && [ $(((cy - $5 / 2) * 10 / $5)) -eq 0 ]
}

# saver_windows <display>: "WM_CLASS geometry" of every window titled "Screen Saver".
saver_windows() {
  xwininfo -root -tree -display "$1" 2>/dev/null |
    sed -n 's/.*"Screen Saver": ("[^"]*" "\([^"]*\)")  *\([0-9x+-]*\).*/\1 \2/p' | sort
}

# expect_message <pattern> <command...>: exit 255, one line on standard error that matches.
expect_message() {
  local pattern=$1
  shift
  "$@" >"$work/out" 2>"$work/err"
  local rc=$?
  [ "$rc" -eq 255 ] || fail "'$*' exited $rc, expected 255"
  [ -s "$work/out" ] && fail "'$*' wrote to standard output: $(cat "$work/out")"
  [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q -- "$pattern" "$work/err" ||
    fail "'$*' said: $(cat "$work/err")"
}

# ---- messages ----
expect_message 'DISPLAY is not set' env -u DISPLAY "$lumivane" /s
start_xvfb 24 1600x600 -screen 1 640x480x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
expect_message "cannot open the X display '$DISPLAY.5'" env DISPLAY="$DISPLAY.5" "$lumivane" /s
expect_message "cannot open the X display ':65000'" env DISPLAY=:65000 "$lumivane" /p 4711
expect_message "unknown switch '/x'" "$lumivane" /x
expect_message "'/p 0': the preview wants the decimal id" "$lumivane" /p 0
expect_message "'/p:4711': the preview wants" "$lumivane" /p:4711
expect_message "--display wants 'palette' or 'truecolor', not 'grey'" "$lumivane" /s --display grey

# ---- the screen DISPLAY names ----
DISPLAY=$DISPLAY.1 "$lumivane" /s &
saver_pid=$!
track "$saver_pid"
if until_true 10 centred_pattern "$DISPLAY.1" 0 0 640 480 "$shots/screen1.png"; then
  [ "$(saver_windows "$DISPLAY.1")" = "WindowsScreenSaverClass 640x480+0+0" ] ||
    fail "on screen 1: $(saver_windows "$DISPLAY.1")"
  [ -z "$(saver_windows "$DISPLAY.0")" ] || fail "a saver window on screen 0: $(saver_windows "$DISPLAY.0")"
else
  fail "DISPLAY=$DISPLAY.1: no pattern on screen 1; on screen 0: $(saver_windows "$DISPLAY.0")"
fi
kill "$saver_pid"
wait "$saver_pid" 2>/dev/null

# ---- two monitors on screen 0, the right one primary ----
xrandr --setmonitor left 800/211x600/158+0+0 screen >/dev/null
xrandr --setmonitor '*right' 800/211x600/158+800+0 none >/dev/null
for dismissal in "click 1" "mousemove 110 110"; do
  xdotool mousemove 100 100
  "$lumivane" /s &
  saver_pid=$!
  track "$saver_pid"
  if until_true 10 centred_pattern "$DISPLAY" 800 0 800 600 "$shots/monitors.png"; then
    expected=$(printf '%s\n' "WindowsScreenSaverClass 800x600+800+0" "lumivane 800x600+0+0")
    [ "$(saver_windows "$DISPLAY")" = "$expected" ] || fail "saver windows: $(saver_windows "$DISPLAY")"
    read -r count _ < <(lit "$DISPLAY" 0 0 800 600)
    [ "$count" -eq 0 ] || fail "$count pixels lit on the other monitor"
    xdotool $dismissal
    until_true 5 ended "$saver_pid" || fail "'xdotool $dismissal' on the black monitor did not end the saver"
  else
    fail "no pattern centred on the primary monitor: windows $(saver_windows "$DISPLAY")"
  fi
  kill "$saver_pid" 2>/dev/null
  wait "$saver_pid"
  rc=$?
  [ "$rc" -eq 0 ] || fail "the saver ended with $rc after 'xdotool $dismissal', expected 0"
done

# ---- scripts/run says where the settings go when it first creates them ----
run_home=$work/user
mkdir -p "$run_home"
for attempt in first second; do
  env -u LUMIVANE_HOME -u XDG_CONFIG_HOME HOME="$run_home" "$here/../../scripts/run" >"$work/run.out" 2>&1 &
  run_pid=$!
  track "$run_pid"
  until_true 60 centred_pattern "$DISPLAY" 800 0 800 600 || fail "scripts/run ($attempt) showed no saver"
  xdotool click 1
  until_true 5 ended "$run_pid" || fail "scripts/run ($attempt): a click did not end the saver"
  wait "$run_pid"
  told=$(grep -c "keeps your settings in $run_home/.config/lumivane/control.ini; this first run creates it" "$work/run.out")
  [ "$attempt $told" = "first 1" ] || [ "$attempt $told" = "second 0" ] ||
    fail "scripts/run, $attempt run, told $told times: $(cat "$work/run.out")"
done
[ -f "$run_home/.config/lumivane/control.ini" ] || fail "scripts/run left no settings file"

# ---- a preview follows its host window ----
python3 "$here/bare_window.py" "Preview Host" 200x150+40+40 >"$work/host" &
track $!
if until_true 10 test -s "$work/host"; then
  host=$(cat "$work/host")
  "$lumivane" /p "$host" &
  preview_pid=$!
  track "$preview_pid"
  until_true 10 centred_pattern "$DISPLAY" 40 40 200 150 || fail "no preview in its 200x150 host"
  xdotool windowsize "$host" 480 320
  until_true 10 centred_pattern "$DISPLAY" 40 40 480 320 "$shots/preview-resized.png" ||
    fail "the preview did not follow its host to 480x320: $(lit "$DISPLAY" 40 40 480 320)"
  kill "$preview_pid"
  wait "$preview_pid" 2>/dev/null
else
  fail "could not create the preview's host window"
fi

report linux_desktop
