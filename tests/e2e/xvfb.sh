# Sourced helpers of the end-to-end tests.
#
# start_xvfb <depth> [<width>x<height> [more Xvfb arguments]] starts a private Xvfb
# (1024x768 by default) that never resets, on a display number it picks itself (so parallel
# runs never collide), exports DISPLAY and sets xvfb_pid; under checks.sh the server ends with
# the script.
start_xvfb() {
  local fifo number depth=$1 size=${2:-1024x768}
  shift $(($# < 2 ? $# : 2))
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x$depth" "$@" -noreset -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  if declare -F track >/dev/null; then track "$xvfb_pid"; fi
  read -r -t 20 number <"$fifo"
  rm -f "$fifo"
  [ -n "$number" ] || return 1
  export DISPLAY=:$number
}

# Colours of the screen area x,y,w,h as "count r g b" lines, most frequent first. With a
# fifth argument, of that window's area, read through its own colormap (Wine keeps a private
# one on a palette display, which nothing installs without a window manager).
area_colours() {
  local source=(-root)
  [ -n "${5:-}" ] && source=(-id "$5")
  xwd "${source[@]}" -silent | xwdtopnm 2>/dev/null | pnmcut "$1" "$2" "$3" "$4" | pnmnoraw |
    tail -n +4 | tr -s ' \n' '\n' | grep -v '^$' | paste - - - | sort | uniq -c | sort -rn
}

# until_true <seconds> <command...>: polls the command until it succeeds or the time is up.
until_true() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# find_window <name>: the id of the first window with exactly this name; fails when there is
# none. wait_window <name> waits up to 10 s for one.
find_window() { xdotool search --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
wait_window() { until_true 10 find_window "$1" >/dev/null && find_window "$1"; }

# viewable <window id>: the window is mapped and shown.
viewable() { [ "$(xwininfo -id "$1" 2>/dev/null | awk '/Map State:/ { print $3 }')" = IsViewable ]; }

# ended <pid>: true once the process has gone.
ended() { ! kill -0 "$1" 2>/dev/null; }

# painted <area_colours arguments>: more than three colours there, as in a window whose controls
# are drawn (shown is not yet painted).
painted() { [ "$(area_colours "$@" | wc -l)" -gt 3 ]; }

# pattern_on_black <area_colours arguments>: black is the most frequent colour there, and not
# the only one.
pattern_on_black() {
  local colours
  colours=$(area_colours "$@")
  [ "$(wc -l <<<"$colours")" -gt 1 ] && head -n 1 <<<"$colours" | grep -q ' 0[[:space:]]0[[:space:]]0$'
}
