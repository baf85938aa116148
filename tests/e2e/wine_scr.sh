#!/usr/bin/env bash
# The Windows module under Wine on a palette display (a private Xvfb at depth 8):
#   /p 0 and /x end with -1; /s shows the topmost full-screen "Screen Saver" window of class
#   WindowsScreenSaverClass drawing a pattern on black, a key ends it with 0, and the run
#   leaves Favorite0 and LastSpeed in control.ini.
# Usage: wine_scr.sh <LUMIVA95.SCR> <saver_probe.exe>
set -u
scr=$1
probe=$2
. "$(dirname "$0")/wine.sh"
. "$(dirname "$0")/checks.sh"
. "$(dirname "$0")/xvfb.sh"
start_xvfb 8 || { echo "FAIL: Xvfb did not start"; exit 1; }

for tail in "/p 0" "/x"; do
  # shellcheck disable=SC2086 # the tail is two words on purpose
  timeout 60 wine "$scr" $tail
  rc=$?
  [ "$rc" -eq 255 ] || fail "'$tail' exited $rc, expected -1 (255)"
done

# The run's settings: a fresh file, so what the saver writes back is its own.
profile=$WINEPREFIX/drive_c/windows/control.ini
rm -f "$profile"
timeout 120 wine "$scr" /s &
saver_pid=$!
track "$saver_pid"
# The window can be found while it is still being created, before it is shown.
saver_shown() {
  found=$(timeout 30 wine "$probe" 2>/dev/null) || { found=; return 1; }
  found=${found%$'\r'}
  [[ $found == visible=1* ]]
}
saver_window() { xdotool search --name '^Screen Saver$' | head -n 1; }
until_true 90 saver_shown
if [ -z "$found" ]; then
  fail "/s showed no saver window"
else
  echo "saver: $found"
  [ "$found" = "visible=1 topmost=1 size=1024x768 palette=1" ] || fail "unexpected saver window: $found"
  until_true 60 pattern_on_black 0 0 1024 768 "$(saver_window)" ||
    fail "the screen is not a pattern on black: $(area_colours 0 0 1024 768 "$(saver_window)" | head -n 3 | tr '\n' ';')"
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

grep -qa '^Favorite0=Last Design,' "$profile" || fail "no Favorite0 written"
grep -qaE '^LastSpeed=[1-9][0-9]*' "$profile" || fail "no LastSpeed above 0 written"

report wine_scr
