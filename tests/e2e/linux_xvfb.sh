#!/usr/bin/env bash
# The Linux program in a private Xvfb (1024x768x24):
#   /s covers the screen with a pattern on black, a second /s leaves at once with 0, a key ends the first
#   with 0, even when the stored values make every tick endless; /p draws into a window this
#   script creates and ends with that window; a bad $XSCREENSAVER_WINDOW and a program path
#   with a quote in it are handled. Every wait is for a condition, with a deadline.
# Usage: linux_xvfb.sh <lumivane binary>
set -u
lumivane=$1

. "$(dirname "$0")/checks.sh"

export LUMIVANE_HOME=$work/home
mkdir -p "$LUMIVANE_HOME"
. "$(dirname "$0")/xvfb.sh"
start_xvfb 24 || { echo "FAIL: Xvfb did not start"; exit 1; }


area_digest() { area_colours "$@" | md5sum; }
area_changed() { [ "$(area_digest "${@:2}")" != "$1" ]; }

# ---- full screen ----
"$lumivane" /s &
saver_pid=$!
track "$saver_pid"
if id=$(wait_window "Screen Saver"); then
  geometry=$(xwininfo -id "$id" | awk '/Width:/{w=$2} /Height:/{h=$2} /Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print x","y" "w"x"h}')
  [ "$geometry" = "0,0 1024x768" ] || fail "saver window at $geometry, expected 0,0 1024x768"
  class=$(xprop -id "$id" WM_CLASS 2>/dev/null)
  case "$class" in *'"WindowsScreenSaverClass"'*) ;; *) fail "saver WM_CLASS: $class" ;; esac
  until_true 20 pattern_on_black 0 0 1024 768 ||
    fail "the screen is not a pattern on black: $(area_colours 0 0 1024 768 | head -n 3 | tr '\n' ';')"

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
if ! until_true 10 ended "$saver_pid"; then
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
track "$parent_pid"
# A white neighbour that must stay white.
python3 "$(dirname "$0")/bare_window.py" "Neighbour" 60x60+430+100 >/dev/null &
track $!
if parent=$(wait_window "Preview Parent"); then
  "$lumivane" /p "$parent" &
  preview_pid=$!
  track "$preview_pid"
  until_true 20 pattern_on_black 100 100 320 240 ||
    fail "the preview drew no pattern on black in its parent: $(area_colours 100 100 320 240 | head -n 2 | tr '\n' ';')"
  kill -0 "$preview_pid" 2>/dev/null || fail "/p $parent ended at once"
  colours=$(area_colours 430 100 60 60)
  [ "$colours" = "$(printf '%7d 255\t255\t255' 3600)" ] || fail "the preview drew outside its parent"
  xdotool mousemove 200 200 mousemove 260 230 key space 2>/dev/null
  # Drawing on after the input shows the preview has taken it in.
  before=$(area_digest 100 100 320 240)
  until_true 10 area_changed "$before" 100 100 320 240 || fail "the preview stopped drawing after input"
  kill -0 "$preview_pid" 2>/dev/null || fail "input ended the preview"
  kill "$parent_pid"
  if ! until_true 10 ended "$preview_pid"; then
    fail "the preview outlived its parent"
  else
    wait "$preview_pid"
    rc=$?
    [ "$rc" -eq 0 ] || fail "/p ended with $rc when its parent went, expected 0"
  fi
else
  fail "could not create the parent window"
fi

# ---- stored values that make one tick endless still let a key end the saver at once ----
endless=$work/endless
mkdir -p "$endless"
printf '[Lumivane 95]\r\nPolite=0\r\nSymmetry=2147483647\r\nSpeedGroupSize=2147483647\r\nDivisor=2147483647\r\n' \
  >"$endless/control.ini"
LUMIVANE_HOME=$endless "$lumivane" /s &
endless_pid=$!
track "$endless_pid"
if id=$(wait_window "Screen Saver"); then
  until_true 20 pattern_on_black 0 0 1024 768 || fail "the endless-tick saver drew nothing"
  start=$(date +%s%N)
  xdotool key --window "$id" space 2>/dev/null || xdotool key space
  if until_true 10 ended "$endless_pid"; then
    wait "$endless_pid"; rc=$?
    echo "a key ended the endless-tick saver after $(( ($(date +%s%N) - start) / 1000000 )) ms"
    [ "$rc" -eq 0 ] || fail "the endless-tick saver ended with $rc, expected 0"
  else
    fail "a key did not end the saver whose stored values make a tick endless"
    kill -9 "$endless_pid"
  fi
else
  fail "/s showed no window with endless-tick values"
fi

# ---- a bad $XSCREENSAVER_WINDOW: exit -1, one line on stderr, nothing written ----
for value in 0xFFFFFFFF -1 junk 0; do
  bad=$work/bad-host
  rm -rf "$bad"; mkdir -p "$bad"
  LUMIVANE_HOME=$bad XSCREENSAVER_WINDOW=$value timeout 10 "$lumivane" /s 2>"$work/stderr"; rc=$?
  [ "$rc" -eq 255 ] || fail "/s with XSCREENSAVER_WINDOW=$value exited $rc, expected -1 (255)"
  [ "$(wc -l <"$work/stderr")" -eq 1 ] || fail "XSCREENSAVER_WINDOW=$value: not one line on stderr: $(cat "$work/stderr")"
  [ -z "$(ls -A "$bad")" ] || fail "XSCREENSAVER_WINDOW=$value wrote $(ls -A "$bad")"
done

# ---- a quote in the program's path leaves the switches working ----
quoted="$work/say \"hi\""
mkdir -p "$quoted"
ln -s "$(readlink -f "$lumivane")" "$quoted/lumivane"
timeout 10 "$quoted/lumivane" /a; rc=$?
[ "$rc" -eq 0 ] || fail "/a from a path with a quote exited $rc, expected 0"
timeout 10 "$quoted/lumivane" /x; rc=$?
[ "$rc" -eq 255 ] || fail "/x from a path with a quote exited $rc, expected -1 (255)"

help=$("$lumivane" --help); rc=$?
[ "$rc" -eq 0 ] && grep -q '/p <xid>' <<<"$help" || fail "--help exited $rc or left out the preview switch"

report linux_xvfb
