#!/usr/bin/env bash
# Plays a round under Xvfb as a player would: the game opens its setup
# screen, xdotool clicks Start (a balloon round on "Meadow" behind the
# loading screen), presses Escape (the pause screen), Escape again (back to
# the setup screen) and clicks Quit. Screenshots of the setup, the round,
# the pause and the setup again are left in the folder given.
#
#   scripts/xvfb_round_check.sh [build folder] [screenshot folder]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shots=${2:-/tmp/rcv_round}

# shellcheck source=xvfb_common.sh
. "$root/scripts/xvfb_common.sh"

if [ -z "${RCV_XVFB_INNER:-}" ]; then
  need_xvfb_tools
  command -v import > /dev/null || fail "import is not installed (apt-get install imagemagick)"
  [ -x "$build/rcvolaro" ] || fail "no game at $build/rcvolaro"
  build=$(cd "$build" && pwd)
  mkdir -p "$shots"
  shots=$(cd "$shots" && pwd)
  RCV_XVFB_INNER=1 exec timeout 120 xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$build" "$shots"
fi

make_scratch rcv_round
dir=$scratch
cp -r "$build/data/." "$dir"

(cd "$dir" && RCV_BACKEND=sdl RCV_SEED=5 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/sound.raw" "$build/rcvolaro" > "$dir/out.txt" 2>&1) &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "RC Volaro" | head -1)
[ -n "$window" ] || fail "the game's window did not appear"
sleep 1
shot() {
  import -window "$window" "$shots/$1.png" || fail "no screenshot $1"
}
# The colour of a pixel of the last screenshot, as "r,g,b".
pixel() {
  convert "$shots/$1.png" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
shot setup
[ "$(pixel setup 320 20)" = "40,60,120" ] || fail "no setup screen: $(pixel setup 320 20)"
xdotool mousemove --window "$window" 320 292 && sleep 0.3 && xdotool click 1 || fail "cannot click Start"
sleep 3
shot round
[ "$(pixel round 320 358)" = "255,255,255" ] || fail "no loading screen behind the round"
xdotool key Escape && sleep 1 || fail "cannot press Escape"
shot pause
[ "$(pixel pause 320 140)" = "255,255,255" ] || fail "no pause screen"
xdotool key Escape && sleep 1 || fail "cannot press Escape again"
shot setup_again
[ "$(pixel setup_again 320 20)" = "40,60,120" ] || fail "not back on the setup screen"
xdotool mousemove --window "$window" 320 352 && sleep 0.3 && xdotool click 1 || fail "cannot click Quit"
wait_for_quit "$dir/out.txt"
echo "PASS: setup, round, pause and setup again; screenshots in $shots"
