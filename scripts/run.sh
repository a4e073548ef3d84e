#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF -DCORVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target corvane_demo
"$build/demo/corvane_demo" "$@"
