# Sourced by the end-to-end scripts first.
#
# fail <message> counts a failure and goes on; report <name> prints the closing line and, as the
# script's last command, is its exit status.
#
# Each script gets a private folder $work. It is removed, and every process handed to
# track <pid...> is killed (latest first), however the script ends; a script with more to undo
# defines at_exit, which runs before that.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
report() {
  if [ "$failures" -eq 0 ]; then
    echo "$1: all passed"
    return 0
  fi
  echo "$1: $failures failure(s)"
  return 1
}

work=$(mktemp -d)
tracked=()
track() { tracked+=("$@"); }
end_script() {
  if declare -F at_exit >/dev/null; then at_exit; fi
  local i
  for ((i = ${#tracked[@]} - 1; i >= 0; i--)); do kill "${tracked[i]}" 2>/dev/null; done
  rm -rf "$work"
}
trap end_script EXIT
