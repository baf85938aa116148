# Sourced: start_xvfb <depth> starts a private 1024x768 Xvfb on a display number it picks
# itself (so parallel runs never collide), exports DISPLAY and sets xvfb_pid. -noreset: a server
# that resets whenever its last client leaves refuses connections meanwhile and forgets state.
start_xvfb() {
  local fifo number
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "1024x768x$1" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
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

# until_true <seconds> <command...>: true as soon as the command succeeds, false once the
# deadline has passed. Tests wait for what they need to see, never for a fixed time.
until_true() {
  local deadline=$(( $(date +%s%N) + $1 * 1000000000 ))
  shift
  until "$@"; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# pattern_on_black <area_colours arguments>: black is the most frequent colour there, and not
# the only one.
pattern_on_black() {
  local colours
  colours=$(area_colours "$@")
  [ "$(wc -l <<<"$colours")" -gt 1 ] && head -n 1 <<<"$colours" | grep -q ' 0[[:space:]]0[[:space:]]0$'
}
