#!/usr/bin/env bash
# The saver as a hack of the real XScreenSaver daemon, in a private Xvfb, with the command
# line lumivane.xml describes (its true-colour option chosen): a stand-alone /s already runs
# when the daemon blanks, and the hack still draws an animated pattern in the daemon's window,
# and the daemon logs no abnormal exit. The daemon refuses to run hacks as root, so as root
# it runs as the user nobody, with a throw-away HOME.
# Usage: xscreensaver_daemon.sh <lumivane binary> <lumivane.xml>
set -u
lumivane=$1
xml=$2
here=$(dirname "$0")

. "$(dirname "$0")/checks.sh"

command -v xscreensaver >/dev/null || { echo "FAIL: xscreensaver is not installed (scripts/setup)"; exit 1; }

chmod 755 "$work"
as_user=()
at_exit() {
  [ -n "${DISPLAY:-}" ] && HOME=$work/home "${as_user[@]}" xscreensaver-command -exit >/dev/null 2>&1
}
. "$here/xvfb.sh"

# The hack's command line as the daemon's settings build it from the XML: the program, the
# command's arguments and the arguments of the chosen option.
hack_arguments=$(python3 - "$xml" <<'EOF'
import sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
args = [c.get("arg") for c in root.iter("command")]
args += [o.get("arg-set") for o in root.iter("option") if o.get("id") == "truecolor"]
print(root.get("name"), " ".join(args))
EOF
) || { echo "FAIL: cannot read $xml"; exit 1; }
read -r hack_name hack_arguments <<<"$hack_arguments"
[ "$hack_name" = lumivane ] || fail "the XML names the program '$hack_name'"

# Everything the daemon's user runs lies under $work, which that user can read.
mkdir -p "$work/bin" "$work/home"
cp "$lumivane" "$work/bin/lumivane"
cat >"$work/home/.xscreensaver" <<EOF
timeout:	0:30:00
lock:	False
fade:	False
unfade:	False
splash:	False
mode:	one
selected:	0
programs:	"Lumivane 95"  $hack_name $hack_arguments \\n
EOF
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody: "$work/bin" "$work/home"
  as_user=(runuser -u nobody --)
fi
daemon_env=(env HOME="$work/home" PATH="$work/bin:/usr/bin:/bin" LUMIVANE_HOME="$work/home/lumivane")

start_xvfb 24 || { echo "FAIL: Xvfb did not start"; exit 1; }
log=$work/home/daemon.log

# A stand-alone saver of its own runs first.
LUMIVANE_HOME=$work/standalone "$lumivane" /s &
standalone_pid=$!
track "$standalone_pid"
until_true 10 bash -c 'xwininfo -root -tree | grep -q "\"Screen Saver\": (\"WindowsScreenSaverClass\""' ||
  fail "the stand-alone saver showed no window"

"${as_user[@]}" "${daemon_env[@]}" DISPLAY="$DISPLAY" xscreensaver --no-splash --verbose --log "$log" \
  >/dev/null 2>&1 &
track $!
# Asked until the daemon listens; it then starts the hack.
activate() { "${as_user[@]}" "${daemon_env[@]}" DISPLAY="$DISPLAY" xscreensaver-command -activate >/dev/null 2>&1; }
hack_started() { grep -q "forked \"$hack_name $hack_arguments\" in pid" "$log"; }
if until_true 20 activate && until_true 20 hack_started; then
  hack_pid=$(grep -o "forked \"$hack_name $hack_arguments\" in pid [0-9]*" "$log" | head -n 1 | grep -o '[0-9]*$')
  # The hack writes the design it shows once its window exists, past the point where it
  # would have given way to the stand-alone saver.
  hack_shows() { grep -qi '^Favorite0=' "$work/home/lumivane/control.ini" 2>/dev/null; }
  until_true 10 hack_shows || fail "the hack made no window while a stand-alone saver ran"
  kill -0 "$standalone_pid" 2>/dev/null || fail "the stand-alone saver has ended"
  kill "$standalone_pid"
  until_true 5 ended "$standalone_pid" || fail "the stand-alone saver did not end"
  # What the screen shows now is the daemon's window alone.
  picture() { xwd -root -silent | xwdtopnm 2>/dev/null | pnmdepth 255 | python3 "$here/lit_area.py" 0 0 1024 768; }
  first=
  drawn() {
    local now count
    now=$(picture)
    read -r count _ <<<"$now"
    [ "$count" -gt 500 ] && [ "$count" -lt $((1024 * 768 * 4 / 5)) ] || return 1
    [ -z "$first" ] && first=$now
    [ "$now" != "$first" ]
  }
  until_true 15 drawn || fail "no animated pattern in the daemon's window (last: $(picture))"
  kill -0 "$hack_pid" 2>/dev/null || fail "the hack (pid $hack_pid) has ended"
  [ -n "${E2E_SCREENSHOTS:-}" ] && xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$E2E_SCREENSHOTS/daemon.png"
else
  fail "the daemon did not start the hack: $(tail -n 5 "$log" 2>/dev/null | tr '\n' ';')"
fi
grep -E "\($hack_name\)" "$log" | grep -Ei "abnormal|crashed|exited|terminated" &&
  fail "the daemon logged a failing hack"

report xscreensaver_daemon
