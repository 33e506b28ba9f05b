#!/usr/bin/env bash
# Draws the 3D scene in a real window under Xvfb, takes a screenshot of the
# last frame and compares it with the same frame drawn headless: they must
# be equal.
# Usage: check_xvfb.sh <build folder> [output folder]
set -euo pipefail
build=${1:?build folder}
out=${2:-$(mktemp -d)}
program="$build/tools/d3d_scene/d3d_scene"
frames=12
mkdir -p "$out"
rm -f "$out"/frame*.bmp
RCV_BACKEND=headless RCV_FRAME_DUMP="$out" "$program" $frames >/dev/null
last=$(printf "%s/frame%06d.bmp" "$out" $frames)
xvfb-run -a -s "-screen 0 640x480x24" sh -c "'$program' $frames 3 & sleep 2; import -window root '$out/shot.png'; wait" >/dev/null
differing=$(compare -metric AE "$out/shot.png" "$last" "$out/diff.png" 2>&1 || true)
echo "screenshot $out/shot.png, headless frame $last, differing pixels: $differing"
[ "$differing" = "0" ]
