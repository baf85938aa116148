#!/usr/bin/env bash
# The Windows module's configuration dialog under Wine (a private Xvfb at depth 24): /c opens
# the real dialog from the compiled resource, it shows its groups, and Enter (its default
# button, OK) ends it with 1 and writes the settings keys to control.ini.
# Usage: wine_dialog.sh <LUMIVA95.SCR> [folder for the screenshot]
set -u
scr=$1
shots=${2:-}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
: "${WINEPREFIX:?WINEPREFIX must name an initialised Wine prefix}"
export WINEPREFIX

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

. "$(dirname "$0")/xvfb.sh"
start_xvfb 24 || { echo "FAIL: Xvfb did not start"; exit 1; }
dialog_pid=
cleanup() {
  [ -n "$dialog_pid" ] && kill "$dialog_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

profile=$WINEPREFIX/drive_c/windows/control.ini
rm -f "$profile"
timeout 120 wine "$scr" /c &
dialog_pid=$!
id=
for _ in $(seq 120); do
  id=$(xdotool search --name '^Lumivane 95$' 2>/dev/null | head -n 1)
  [ -n "$id" ] && [ "$(xwininfo -id "$id" | awk '/Map State:/{print $3}')" = IsViewable ] && break
  id=
  sleep 0.5
done
[ -n "$id" ] || { echo "FAIL: /c showed no dialog"; exit 1; }
sleep 2
read -r left top width height < <(xwininfo -id "$id" |
  awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
[ "$width" -gt 400 ] && [ "$height" -gt 300 ] || fail "the dialog is ${width}x${height}, too small for 352 x 252 units"
if [ -n "$shots" ]; then
  mkdir -p "$shots"
  xwd -id "$id" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$shots/dialog-windows.png"
fi
colours=$(area_colours "$left" "$top" "$width" "$height")
[ "$(wc -l <<<"$colours")" -gt 3 ] || fail "the dialog shows almost nothing: $(head -n 3 <<<"$colours" | tr '\n' ';')"

xdotool windowfocus "$id" 2>/dev/null
sleep 0.5
xdotool key Return
for _ in $(seq 60); do
  kill -0 "$dialog_pid" 2>/dev/null || break
  sleep 0.5
done
wait "$dialog_pid"
code=$?
dialog_pid=
[ "$code" -eq 1 ] || fail "Enter ended the dialog with $code, expected 1 (OK)"
for key in Symmetry Depth PotLuck0 Refresh Polite; do
  grep -qi "^$key=" "$profile" 2>/dev/null || fail "OK did not write $key"
done

[ "$failures" -eq 0 ] && echo "PASS" || exit 1
