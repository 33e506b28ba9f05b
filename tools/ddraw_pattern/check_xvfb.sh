#!/usr/bin/env bash
# Shows the test pattern in a real window under Xvfb, takes a screenshot and
# compares it with the frame the headless backend keeps: they must be equal.
# Usage: check_xvfb.sh <build folder> [output folder]
set -euo pipefail
build=${1:?build folder}
out=${2:-$(mktemp -d)}
program="$build/tools/ddraw_pattern/ddraw_pattern"
mkdir -p "$out"
rm -f "$out"/frame*.bmp
RCV_BACKEND=headless RCV_FRAME_DUMP="$out" "$program" >/dev/null
xvfb-run -a -s "-screen 0 640x480x24" sh -c "'$program' 3 & sleep 1.5; import -window root '$out/shot.png'; wait" >/dev/null
differing=$(compare -metric AE "$out/shot.png" "$out/frame000001.bmp" "$out/diff.png" 2>&1 || true)
echo "screenshot $out/shot.png, headless frame $out/frame000001.bmp, differing pixels: $differing"
[ "$differing" = "0" ]
