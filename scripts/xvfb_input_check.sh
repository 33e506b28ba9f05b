#!/usr/bin/env bash
# Starts the real program in a window under Xvfb (SDL backend) on a scratch
# copy of the sample data, whose "config.cfg" binds a key to a "set" command,
# presses that key through the X server, lets the program end after a number
# of frames, and checks that the changed setting was written back to
# "config.cfg". Prints PASS or FAIL (with the reason) and exits 0 or 1.
#
#   scripts/xvfb_input_check.sh [build folder]      (default: <repo>/build)
#
# RCV_CHECK_FRAMES sets how many frames the program runs (default 1500).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

# shellcheck source=xvfb_common.sh
. "$root/scripts/xvfb_common.sh"

if [ -z "${RCV_XVFB_INNER:-}" ]; then
  need_xvfb_tools
  [ -x "$build/rcvolaro" ] || fail "no program at $build/rcvolaro"
  [ -d "$build/data" ] || fail "no sample data at $build/data"
  build=$(cd "$build" && pwd)
  RCV_XVFB_INNER=1 exec timeout 180 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$build"
fi

make_scratch rcv_xvfb
cp -r "$build/data/." "$scratch/"
cd "$scratch" || fail "no scratch folder"

# The key "k" sets the tree pop distance, which the graphics block of
# "config.cfg" writes back; the file starts with another value.
printf 'bind k "set gfx_treepop 77"\nset gfx_treepop "40"\n' > config.cfg

RCV_BACKEND=sdl RCV_MAX_FRAMES=${RCV_CHECK_FRAMES:-1500} "$build/rcvolaro" > /dev/null 2> stderr.txt &
pid=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --name "RC Volaro" | head -1)
[ -n "$window" ] || fail "the program's window did not appear"
xdotool windowfocus --sync "$window" || fail "cannot focus the window"
sleep 0.3
xdotool key k || fail "xdotool could not press the key"

wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(cat stderr.txt)"
grep -q '^bind k "set gfx_treepop 77"' config.cfg || fail "the binding was not written back"
grep -q '^set gfx_treepop "77"' config.cfg || fail "the key press did not reach its binding: $(grep '^set gfx_treepop' config.cfg)"
echo "PASS: the key k ran its binding; config.cfg holds: $(grep '^set gfx_treepop' config.cfg)"
