#!/usr/bin/env bash
# Checks under Xvfb that the mouse, acquired exclusively as the game does for
# play, keeps reporting motion after the pointer would have left the window
# and the screen: tools/input_probe holds the mouse in the real window (SDL
# backend) while xdotool moves the pointer right by far more than the screen
# is wide. Prints PASS or FAIL (with the reason) and exits 0 or 1.
#
#   scripts/xvfb_mouse_check.sh [build folder]      (default: <repo>/build)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
screen_width=1024
steps=12
step=200  # 2400 pixels in all, more than twice the screen

# shellcheck source=xvfb_common.sh
. "$root/scripts/xvfb_common.sh"

if [ -z "${RCV_XVFB_INNER:-}" ]; then
  need_xvfb_tools
  [ -x "$build/tools/input_probe/input_probe" ] || fail "no probe at $build/tools/input_probe/input_probe"
  build=$(cd "$build" && pwd)
  RCV_XVFB_INNER=1 exec timeout 120 xvfb-run -a -s "-screen 0 ${screen_width}x768x24" bash "$0" "$build"
fi

make_scratch rcv_mouse file
out=$scratch

RCV_BACKEND=sdl "$build/tools/input_probe/input_probe" 8 > "$out" 2>&1 &
pid=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --name "RC Volaro" | head -1)
[ -n "$window" ] || fail "the probe's window did not appear"
xdotool windowfocus --sync "$window" || fail "cannot focus the window"
for _ in $(seq 50); do
  grep -q acquired "$out" && break
  sleep 0.1
done
grep -q acquired "$out" || fail "the probe could not acquire the mouse: $(cat "$out")"
sleep 0.3
for _ in $(seq "$steps"); do
  xdotool mousemove_relative -- "$step" 0 || fail "xdotool could not move the pointer"
  sleep 0.05
done

wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "the probe ended with status $status: $(cat "$out")"
read -r _ dx dy < <(grep '^motion ' "$out")
[ -n "${dx:-}" ] || fail "the probe printed no motion: $(cat "$out")"
[ "$dx" -gt "$screen_width" ] ||
  fail "motion stopped at the edge: $dx pixels to the right of $((steps * step)) moved"
echo "PASS: $dx pixels of motion to the right (of $((steps * step)) moved, on a screen $screen_width wide)"
