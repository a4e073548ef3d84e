#!/usr/bin/env bash
# Draws every screen of the programs in every layout they meet (pad app landscape, upright and
# large, phone app, plug-in at its preferred and its low height, plug-in on a phone) into
# out/screens/<layout>-<screen>.png, so that all of them can be looked at at once. The pictures
# come from the render checks, which also report what they find wrong in each.
# Usage: scripts/screens.sh [build folder] (default: build-screens, a Release build).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${1:-$root/build-screens}"
out="$root/out/screens"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_BENCH=OFF >/dev/null || exit 1
fi
cmake --build "$build" -j "${JOBS:-3}" --target app_ScreensRenderCheckTest || exit 1
rm -rf "$out"
mkdir -p "$out"
CORVANE_SCREENS_DIR="$out" "$build/tests/app_ScreensRenderCheckTest" --gtest_brief=1
status=$?
echo "pictures in $out ($(ls "$out" | wc -l) files)"
exit $status
