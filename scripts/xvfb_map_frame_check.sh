#!/usr/bin/env bash
# Shows the map frame tool's last frame of Meadow in the real window under
# Xvfb, takes a screenshot and compares its client area with the same frame
# drawn headless: they must be equal.
#   scripts/xvfb_map_frame_check.sh <build> [shot.png] [frames]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shot=${2:-/tmp/rcv_map_frame.png}
frames=${3:-40}

. "$root/scripts/xvfb_common.sh"

if [ -z "${RCV_XVFB_INNER:-}" ]; then
  need_xvfb_tools
  command -v import > /dev/null || fail "import is not installed (apt-get install imagemagick)"
  [ -x "$build/map_frame" ] || fail "no tool at $build/map_frame"
  build=$(cd "$build" && pwd)
  RCV_XVFB_INNER=1 exec timeout 120 xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$build" "$shot" "$frames"
fi

make_scratch rcv_map_frame
dir=$scratch
cp -r "$build/data/." "$dir"
mkdir -p "$dir/dump"
(cd "$dir" && RCV_BACKEND=headless RCV_FRAME_DUMP="$dir/dump" "$build/map_frame" 'maps\Meadow.zon' "$frames" > /dev/null 2>&1) ||
  fail "the headless run failed"
last=$(ls "$dir/dump" | sort | tail -1)
[ -n "$last" ] || fail "no headless frame"

(cd "$dir" && RCV_BACKEND=sdl SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/sound.raw" "$build/map_frame" 'maps\Meadow.zon' "$frames" --hold 20 > "$dir/out.txt" 2>&1) &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "RC Volaro" | head -1)
[ -n "$window" ] || fail "the tool's window did not appear"
sleep 4
import -window "$window" "$dir/window.png" || fail "no screenshot of the window"
import -window root "$shot" || fail "no screenshot"
# The client area: the window's last 640 x 480 pixels.
convert "$dir/window.png" -gravity SouthEast -crop 640x480+0+0 +repage "$dir/client.png"
convert "$dir/dump/$last" "$dir/headless.png"
differ=$(compare -metric AE "$dir/client.png" "$dir/headless.png" null: 2>&1)
echo "screenshot $shot; pixels differing from the headless frame: $differ"
[ "$differ" = "0" ] || fail "the window shows another picture than the headless frame"
echo "ok"
