#!/usr/bin/env bash
# The Windows module's configuration dialog under Wine (a private Xvfb at depth 24): /c opens
# the real dialog from the compiled resource, it shows its groups, and Enter (its default
# button, OK) ends it with 1 and writes the settings keys to control.ini.
# Usage: wine_dialog.sh <LUMIVA95.SCR> [folder for the screenshot]
set -u
scr=$1
shots=${2:-}
. "$(dirname "$0")/wine.sh"
. "$(dirname "$0")/checks.sh"
. "$(dirname "$0")/xvfb.sh"
start_xvfb 24 || { echo "FAIL: Xvfb did not start"; exit 1; }

profile=$WINEPREFIX/drive_c/windows/control.ini
rm -f "$profile"
timeout 120 wine "$scr" /c &
dialog_pid=$!
track "$dialog_pid"
dialog_shown() { id=$(find_window "Lumivane 95") && viewable "$id"; }
until_true 60 dialog_shown || { echo "FAIL: /c showed no dialog"; exit 1; }
read -r left top width height < <(xwininfo -id "$id" |
  awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
[ "$width" -gt 400 ] && [ "$height" -gt 300 ] || fail "the dialog is ${width}x${height}, too small for 352 x 252 units"
until_true 10 painted "$left" "$top" "$width" "$height" || fail "the dialog shows almost nothing"
if [ -n "$shots" ]; then
  mkdir -p "$shots"
  xwd -id "$id" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$shots/dialog-windows.png"
fi

xdotool windowfocus --sync "$id" 2>/dev/null
xdotool key Return
until_true 30 ended "$dialog_pid"
wait "$dialog_pid"
code=$?
dialog_pid=
[ "$code" -eq 1 ] || fail "Enter ended the dialog with $code, expected 1 (OK)"
for key in Symmetry Depth PotLuck0 Refresh Polite; do
  grep -qi "^$key=" "$profile" 2>/dev/null || fail "OK did not write $key"
done

report wine_dialog
