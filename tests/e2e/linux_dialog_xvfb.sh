#!/usr/bin/env bash
# The Linux configuration dialog in a private Xvfb (1024x768x24):
#   without a display /c says why in one line and fails; with one it opens the dialog, a mouse
#   changes a scrollbar and a check box, OK writes them to control.ini, and the next /s shows
#   them in the design it records as Favorite0.
# Usage: linux_dialog_xvfb.sh <lumivane binary> [folder for the screenshot]
set -u
lumivane=$1
shots=${2:-}

. "$(dirname "$0")/checks.sh"

export LUMIVANE_HOME=$work/home
mkdir -p "$LUMIVANE_HOME"
ini=$LUMIVANE_HOME/control.ini
. "$(dirname "$0")/xvfb.sh"

# ---- no display ----
env -u DISPLAY "$lumivane" /c 2>"$work/stderr"
code=$?
[ "$code" -eq 255 ] || fail "/c without a display exited $code, expected 255"
[ "$(wc -l <"$work/stderr")" -eq 1 ] && grep -qi display "$work/stderr" ||
  fail "/c without a display should say why in one line: $(cat "$work/stderr")"

start_xvfb 24 || { echo "FAIL: Xvfb did not start"; exit 1; }

# The key's value in the file, or nothing.
ini_value() { sed -n "s/^$1=//Ip" "$ini" 2>/dev/null | tr -d '\r'; }
recorded_symmetry_is() { [ "$(ini_value Favorite0 | cut -d, -f2)" = "$1" ]; }

# ---- the dialog ----
"$lumivane" /c &
dialog_pid=$!
track "$dialog_pid"
id=$(wait_window "Lumivane 95") || { echo "FAIL: the dialog did not open"; exit 1; }
read -r left top width height < <(xwininfo -id "$id" |
  awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
# The template is 352 x 252 dialog units; a point in dialog units is found with the same scale.
at() { xdotool mousemove $((left + $1 * width / 352)) $((top + $2 * height / 252)); }
click_at() {
  at "$1" "$2"
  xdotool click 1
  sleep 0.3  # let the press and release reach the dialog as separate clicks
}
until_true 10 viewable "$id" || fail "the dialog is not shown"
until_true 10 painted "$left" "$top" "$width" "$height" || fail "the dialog shows almost nothing"
if [ -n "$shots" ]; then
  mkdir -p "$shots"
  xwd -id "$id" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$shots/dialog-linux.png"
fi

# Symmetry's right arrow three times (7 -> 10), then "Free Floating", then OK.
for _ in 1 2 3; do click_at 160 21; done
click_at 224 137
click_at 237 239
until_true 10 ended "$dialog_pid" || fail "OK did not close the dialog"
wait "$dialog_pid"
code=$?
[ "$code" -eq 1 ] || fail "the dialog ended with $code, expected 1 for OK"
[ "$(ini_value Symmetry)" = 10 ] || fail "Symmetry in the file is '$(ini_value Symmetry)', expected 10"
[ "$(ini_value Floating)" = 1 ] || fail "Floating in the file is '$(ini_value Floating)', expected 1"

# ---- the next saver run uses them ----
"$lumivane" /s &
saver_pid=$!
track "$saver_pid"
# Favorite0: Last Design, then the seventeen values in use; field 12 is Floating.
until_true 10 recorded_symmetry_is 10 ||
  fail "the saver's Favorite0 does not show Symmetry 10: '$(ini_value Favorite0)'"
[ "$(ini_value Favorite0 | cut -d, -f13)" = 1 ] || fail "the saver's Favorite0 does not float: '$(ini_value Favorite0)'"
wait_window "Screen Saver" >/dev/null && xdotool key a
until_true 10 ended "$saver_pid" || fail "the saver did not end on a key"

report linux_dialog
