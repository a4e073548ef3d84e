#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: the standalone app Corvane, headless,
# rendering the current sound playing a MIDI phrase into out/corvane.wav and drawing the editor
# into out/corvane-editor.png. Arguments go to Corvane, e.g. a Standard MIDI File to play
# instead of the built-in phrase.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF -DCORVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target Corvane
"$build/app/Corvane.app/Corvane" --wav "$root/out/corvane.wav" --png "$root/out/corvane-editor.png" "$@"
