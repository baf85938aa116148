#!/usr/bin/env bash
# The Linux program listening to a real sound server: a private PulseAudio with a null sink,
# the saver recording from the sink's monitor in a private Xvfb. Silence, then music, then
# silence are played into the sink; the saver's own output shows what it heard:
#   - Favorite0 (the design shown) changes when the music starts, not before;
#   - the screen goes dark in the silence after it and lights up again once the saver dreams,
#     after AudioBlankTime seconds;
#   - with the sink unloaded it keeps drawing; loaded again, it hears the music again;
#   - LastSpeed at the end: it drew lines all along.
# Usage: linux_sound.sh <lumivane binary>; with SCREENSHOTS=<folder>, leaves music.png (the
# saver reacting to the music) and dreaming.png there.
set -u
lumivane=$1
here=$(dirname "$0")

. "$(dirname "$0")/checks.sh"

export LUMIVANE_HOME=$work/home
mkdir -p "$LUMIVANE_HOME"
. "$here/xvfb.sh"
. "$here/pulse.sh"
start_xvfb 24 || { echo "FAIL: Xvfb did not start"; exit 1; }
start_pulse "$work/pulse" || { echo "FAIL: PulseAudio did not start"; exit 1; }

# Sounds: silence, and "music": a bass, a tone and a hiss whose loudness swings four times a second.
sox -n -r 44100 -c 2 "$work/silence.wav" trim 0 12
sox -n -r 44100 -c 2 "$work/bass.wav" synth 6 square 55 gain -12
sox -n -r 44100 -c 2 "$work/tone.wav" synth 6 sine 1320 tremolo 3 80 gain -8
sox -n -r 44100 -c 2 "$work/hiss.wav" synth 6 pinknoise tremolo 4 90 gain -6
sox -m "$work/bass.wav" "$work/tone.wav" "$work/hiss.wav" "$work/music.wav"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
favorite0() { grep -i '^Favorite0=' "$LUMIVANE_HOME/control.ini" 2>/dev/null | tail -n 1; }
# "lit checksum" of the screen.
screen() { xwd -root -silent | xwdtopnm 2>/dev/null | python3 "$here/screen_stats.py"; }
is_lit() { awk -v l="$1" 'BEGIN { exit !(l > 0.0002) }'; }
is_dark() { awk -v l="$1" 'BEGIN { exit !(l < 0.00001) }'; }

device=$("$lumivane" --list-audio-devices | awk '/Monitor of Null Output/ { print $1; exit }')
[ -n "$device" ] || { echo "FAIL: the sink's monitor is not listed"; "$lumivane" --list-audio-devices; exit 1; }
cat >"$LUMIVANE_HOME/control.ini" <<INI
[Lumivane 95]
Audio=1
RecordingDevice=$device
AudioBlankTime=4
Refresh=600
PotLuck0=1
PotLuck1=1
LineSize=200
TrailLength=200
PotLuck4=1
PotLuck5=1
PotLuck6=1
PotLuck7=1
PotLuck8=1
PotLuck9=1
INI

"$lumivane" /s 2>"$work/stderr" &
saver_pid=$!
track "$saver_pid"
for _ in $(seq 100); do
  [ -n "$(favorite0)" ] && xdotool search --name '^Screen Saver$' >/dev/null 2>&1 && break
  sleep 0.1
done
first=$(favorite0)
[ -n "$first" ] || { echo "FAIL: no saver window or first design"; cat "$work/stderr"; exit 1; }

# ---- silence: no new design ----
paplay -d music "$work/silence.wav" &
silence_pid=$!
deadline=$(( $(now_ms) + 2500 ))
while [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.1; done
kill "$silence_pid" 2>/dev/null
[ "$(favorite0)" = "$first" ] || fail "a new design started in the silence"

# ---- music: a new design at the loud part, a lit and moving screen ----
paplay -d music "$work/music.wav" &
music_pid=$!
music_start=$(now_ms)
restarted=
sums=()
brightest=0
while kill -0 "$music_pid" 2>/dev/null; do
  if [ -z "$restarted" ] && [ "$(favorite0)" != "$first" ]; then
    restarted=$(( $(now_ms) - music_start ))
  elif [ -n "$restarted" ] && [ -n "${SCREENSHOTS:-}" ] && [ ! -f "$SCREENSHOTS/music.png" ]; then
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$SCREENSHOTS/music.png"
  fi
  read -r lit sum <<<"$(screen)"
  sums+=("$sum")
  brightest=$(awk -v a="$lit" -v b="$brightest" 'BEGIN { print (a > b) ? a : b }')
  sleep 0.2
done
music_end=$(now_ms)
echo "new design ${restarted:-never} ms into the music"
[ -n "$restarted" ] || fail "the music did not start a new design"
[ "$(printf '%s\n' "${sums[@]}" | sort -u | wc -l)" -ge $(( ${#sums[@]} - 1 )) ] ||
  fail "the pattern stood still during the music (${#sums[@]} screens, $(printf '%s\n' "${sums[@]}" | sort -u | wc -l) different)"
is_lit "$brightest" || fail "the screen was dark during the music (lit at most $brightest)"

# ---- silence after it: dark, then dreaming lights it up after the blank time ----
paplay -d music "$work/silence.wav" &
silence_pid=$!
dark_at= lit_again_at= timeline=
deadline=$(( music_end + 11000 ))
while [ "$(now_ms)" -lt "$deadline" ] && [ -z "$lit_again_at" ]; do
  read -r lit sum <<<"$(screen)"
  t=$(( $(now_ms) - music_end ))
  timeline+=" $t:$lit"
  if [ -z "$dark_at" ]; then
    is_dark "$lit" && dark_at=$t
  elif is_lit "$lit"; then
    lit_again_at=$t
  fi
  sleep 0.2
done
echo "after the music: dark at ${dark_at:-never} ms, lit again (dreaming) at ${lit_again_at:-never} ms"
echo "  ms:lit$timeline"
[ -n "$dark_at" ] && [ "$dark_at" -lt 4000 ] || fail "the screen did not go dark in the silence"
[ -n "$lit_again_at" ] && [ "$lit_again_at" -ge 3500 ] ||
  fail "dreaming did not light the screen after AudioBlankTime (4 s): ${lit_again_at:-never}"
[ -n "${SCREENSHOTS:-}" ] && xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$SCREENSHOTS/dreaming.png"
kill "$silence_pid" 2>/dev/null

# ---- the device goes away: the saver keeps drawing; back, it listens again ----
pactl unload-module module-null-sink
gone=$(now_ms)
# It must go on drawing: three lit screens in a row, each unlike the one before, within the
# deadline however slow the machine (it may first show the silence, or a new design's black
# start, while it lets the device go).
changes=0
previous=
gone_timeline=
deadline=$(( gone + 30000 ))
while [ "$changes" -lt 3 ] && [ "$(now_ms)" -lt "$deadline" ]; do
  read -r lit sum <<<"$(screen)"
  if is_lit "$lit" && [ -n "$previous" ] && [ "$sum" != "$previous" ]; then
    changes=$((changes + 1))
  elif ! is_lit "$lit"; then
    changes=0
  fi
  gone_timeline+=" $lit"
  previous=$sum
  sleep 0.2
done
kill -0 "$saver_pid" 2>/dev/null || fail "the saver died when the device went away"
[ "$changes" -eq 3 ] ||
  fail "the saver stopped drawing without its device (lit$gone_timeline)"
pactl load-module module-null-sink sink_name=music >/dev/null
before=$(favorite0)
heard_again=
deadline=$(( $(now_ms) + 30000 ))
while [ "$(now_ms)" -lt "$deadline" ] && [ -z "$heard_again" ]; do
  timeout 2 paplay -d music "$work/music.wav"
  [ "$(favorite0)" != "$before" ] && heard_again=$(( $(now_ms) - gone ))
done
echo "device back: heard again ${heard_again:-never} ms after it went away"
[ -n "$heard_again" ] || fail "the device that came back was not used again"

# ---- end ----
xdotool key q
for _ in $(seq 100); do kill -0 "$saver_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$saver_pid" 2>/dev/null; then
  fail "a key did not end the saver"
else
  wait "$saver_pid"
  rc=$?
  [ "$rc" -eq 0 ] || fail "the saver ended with $rc"
fi
saver_pid=
speed=$(grep -i '^LastSpeed=' "$LUMIVANE_HOME/control.ini" | tail -n 1 | cut -d= -f2)
echo "LastSpeed $speed lines/s"
[ "${speed:-0}" -gt 0 ] || fail "no lines drawn (LastSpeed ${speed:-none})"
[ -s "$work/stderr" ] && { echo "saver's stderr:"; cat "$work/stderr"; }

report linux_sound
