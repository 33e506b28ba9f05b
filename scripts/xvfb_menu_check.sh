#!/usr/bin/env bash
# Checks the sample menu under Xvfb as a player would: the game starts with
# "menu.cfg" (the settings menu as a modal layer), xdotool clicks a radio
# button, the slider's end and the check button, types a name into the edit
# box, takes a screenshot and presses Quit; the changed settings must be in
# "config.cfg" afterwards. Sound goes to SDL's file driver.
#
#   scripts/xvfb_menu_check.sh [build folder] [screenshot.png]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shot=${2:-/tmp/rcv_menu.png}

# shellcheck source=xvfb_common.sh
. "$root/scripts/xvfb_common.sh"

if [ -z "${RCV_XVFB_INNER:-}" ]; then
  need_xvfb_tools
  command -v import > /dev/null || fail "import is not installed (apt-get install imagemagick)"
  [ -x "$build/rcvolaro" ] || fail "no game at $build/rcvolaro"
  build=$(cd "$build" && pwd)
  RCV_XVFB_INNER=1 exec timeout 120 xvfb-run -a -s "-screen 0 800x600x24" bash "$0" "$build" "$shot"
fi

make_scratch rcv_menu
dir=$scratch
cp -r "$build/data/." "$dir"
printf 'set sys_exec "menu.cfg"\n' > "$dir/config.cfg"

(cd "$dir" && RCV_BACKEND=sdl SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/sound.raw" "$build/rcvolaro" > "$dir/out.txt" 2>&1) &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "RC Volaro" | head -1)
[ -n "$window" ] || fail "the game's window did not appear"
sleep 1
click() {
  xdotool mousemove --window "$window" "$1" "$2" && sleep 0.3 && xdotool click 1 && sleep 0.4
}
click 240 102 || fail "cannot click Dogfight"
click 338 170 || fail "cannot click the slider"
click 60 220 || fail "cannot click Music off"
click 190 284 || fail "cannot click the edit box"
xdotool type --delay 80 "Ace" && xdotool key Return || fail "cannot type"
xdotool mousemove --window "$window" 100 414 && sleep 1
import -window root "$shot" || fail "no screenshot"
click 540 414 || fail "cannot click Quit"
wait_for_quit "$dir/out.txt"
for want in 'sys_game_type "dogfight"' 'sys_game_level "4"' 'snd_music "0"' 'sys_opponent "Ace"'; do
  grep -q "^set $want" "$dir/config.cfg" || fail "config.cfg lacks: set $want"
done
heard=$(od -An -v -td2 -w2 "$dir/sound.raw" 2> /dev/null | awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }')
echo "PASS: the clicks changed four settings; loudest sample $heard; screenshot $shot"
