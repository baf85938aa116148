# Sourced by the end-to-end scripts: fail <message> counts a failure and goes on; report <name>
# prints the closing line and, as the script's last command, is its exit status.
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
