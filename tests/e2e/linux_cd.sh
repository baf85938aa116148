#!/usr/bin/env bash
# CD keys end to end: a disc image of three tracks of different tones (made here with sox) as
# the drive, the saver listening (SDL's "disk" driver records from a file, so capture runs),
# digit keys through the X server, and the player's sound written by SDL's "disk" driver to a
# file whose newest half second tells which track plays:
#   "1" "2" typed quickly ask for track 12, which the disc lacks: track 1 plays on;
#   "1" and "2" typed apart play track 2; the player goes on after the saver has ended;
#   "0" in a later saver stops it.
# Usage: linux_cd.sh <lumivane binary>
set -u
lumivane=$1
here=$(dirname "$0")

. "$(dirname "$0")/checks.sh"

export LUMIVANE_HOME=$work/home
mkdir -p "$LUMIVANE_HOME"
. "$here/xvfb.sh"
# The player outlives the saver by design; the test's own must not outlive the test.
at_exit() {
  player=$(cat "$LUMIVANE_HOME/cdaudio-player.pid" 2>/dev/null) && kill "$player" 2>/dev/null
}
start_xvfb 24 || { echo "FAIL: Xvfb did not start"; exit 1; }

# Three tracks of ten seconds (750 sectors each, long enough that a slow machine still hears the
# track it asked for): 330, 660 and 1320 Hz.
tracks=(330 660 1320)
for i in 0 1 2; do
  sox -n -r 44100 -c 2 -b 16 -e signed-integer -L "$work/t$i.raw" synth 10 sine "${tracks[$i]}" gain -3
done
cat "$work/t0.raw" "$work/t1.raw" "$work/t2.raw" >"$work/disc.bin"
cat >"$work/disc.cue" <<CUE
FILE "disc.bin" BINARY
  TRACK 01 AUDIO
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    INDEX 01 00:10:00
  TRACK 03 AUDIO
    INDEX 01 00:20:00
CUE
head -c 1000000 /dev/zero >"$work/heard.raw"
export LUMIVANE_CDROM=$work/disc.cue
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILEIN=$work/heard.raw SDL_DISKAUDIOFILE=$work/played.raw
printf '[Lumivane 95]\nAudio=1\nRecordingDevice=0\n' >"$LUMIVANE_HOME/control.ini"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
player_pid() { cat "$LUMIVANE_HOME/cdaudio-player.pid" 2>/dev/null; }
# Waits up to <ms> for a player other than <pid> whose output carries half a second of sound.
new_player_playing() {
  local deadline=$(( $(now_ms) + $2 )) p
  while [ "$(now_ms)" -lt "$deadline" ]; do
    p=$(player_pid)
    if [ -n "$p" ] && [ "$p" != "$1" ] && [ "$(python3 "$here/tone_of.py" "$work/played.raw")" != 0 ]; then
      echo "$p"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
tone() { python3 "$here/tone_of.py" "$work/played.raw"; }
near() { [ "$1" -gt $(( $2 * 9 / 10 )) ] && [ "$1" -lt $(( $2 * 11 / 10 )) ]; }
start_saver() {
  "$lumivane" /s 2>>"$work/stderr" &
  saver_pid=$!
  track "$saver_pid"
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^Screen Saver$' >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
end_saver() {
  xdotool key q
  for _ in $(seq 100); do kill -0 "$saver_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$saver_pid" 2>/dev/null && fail "a letter did not end the saver"
  wait "$saver_pid"
  saver_pid=
}

start_saver || { echo "FAIL: no saver window"; cat "$work/stderr"; exit 1; }

# "1" then "2" within 500 ms: track 1, then track 12, which fails.
xdotool key --delay 100 1 2
first=$(new_player_playing "" 5000) || fail "no player started for track 1"
near "$(tone)" 330 || fail "track 1 should play, the sound is at $(tone) Hz"
kill -0 "$saver_pid" 2>/dev/null || fail "a digit ended the saver although it listens"
# Half a second on, the same player still plays track 1: "play 12" changed nothing.
deadline=$(( $(now_ms) + 600 )); while [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.1; done
[ "$(player_pid)" = "$first" ] && near "$(tone)" 330 || fail "track 12 changed the playback ($(player_pid), $(tone) Hz)"

# Apart: track 1, then track 2.
xdotool key --delay 900 1 2
deadline=$(( $(now_ms) + 5000 ))
while [ "$(now_ms)" -lt "$deadline" ] && ! near "$(tone)" 660; do sleep 0.1; done
near "$(tone)" 660 || fail "track 2 should play, the sound is at $(tone) Hz"
second=$(player_pid)
[ "$second" != "$first" ] || fail "no new player for track 2"

# The player outlives the saver.
end_saver
size=$(stat -c %s "$work/played.raw")
deadline=$(( $(now_ms) + 3000 ))
while [ "$(now_ms)" -lt "$deadline" ] && [ "$(stat -c %s "$work/played.raw")" -le "$size" ]; do sleep 0.1; done
[ "$(stat -c %s "$work/played.raw")" -gt "$size" ] && kill -0 "$second" 2>/dev/null ||
  fail "playback ended with the saver"

# "0" in a later saver stops it.
start_saver || fail "no second saver window"
xdotool key 0
deadline=$(( $(now_ms) + 5000 ))
while [ "$(now_ms)" -lt "$deadline" ] && kill -0 "$second" 2>/dev/null; do sleep 0.1; done
kill -0 "$second" 2>/dev/null && fail "\"0\" did not stop the player"
end_saver

[ -s "$work/stderr" ] && { echo "saver's stderr:"; cat "$work/stderr"; }
report linux_cd
