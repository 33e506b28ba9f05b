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
