# What the Xvfb checks share; sourced by scripts/xvfb_*_check.sh.

fail() {
  echo "FAIL: $*"
  exit 1
}

# Stops unless xvfb-run and xdotool are installed.
need_xvfb_tools() {
  for tool in xvfb-run xdotool; do
    command -v "$tool" > /dev/null || fail "$tool is not installed (apt-get install xvfb xdotool)"
  done
}

# Makes a scratch folder under /tmp (a file, with "file" as second word) in
# $scratch; at exit it goes, and the background program in $pid is ended.
make_scratch() {
  if [ "${2:-}" = file ]; then
    scratch=$(mktemp "/tmp/$1_XXXXXX")
  else
    scratch=$(mktemp -d "/tmp/$1_XXXXXX")
  fi
  pid=
  trap '[ -n "$pid" ] && kill "$pid" 2> /dev/null; rm -rf "$scratch"' EXIT
}

# Waits up to five seconds for the game in $pid to end after its Quit, and
# stops unless it ended with status 0 (the file holds its output).
wait_for_quit() {
  for _ in $(seq 50); do
    kill -0 "$pid" 2> /dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2> /dev/null && fail "Quit did not end the game"
  wait "$pid"
  status=$?
  pid=
  [ "$status" -eq 0 ] || fail "the game ended with status $status: $(cat "$1")"
}
