#!/usr/bin/env bash
# Builds the game and its sample data and starts it in a window, with the
# data folder as the working directory. Arguments go to the environment,
# e.g. RCV_BACKEND=headless RCV_MAX_FRAMES=100 bash scripts/run.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja
cmake --build "$build" -j "$(nproc)" --target rcvolaro
cd "$build/data"
exec "$build/rcvolaro"
