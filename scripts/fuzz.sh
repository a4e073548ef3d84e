#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each for a bounded time, starting
# from the seed corpora in tests/fuzz/corpus/. New inputs go to build-fuzz/corpus/; a finding stops
# the run and leaves its input as build-fuzz/crash-* (run the target on that file to see it again).
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(state_text unzip midi_file midi_bytes)
build="${CORVANE_FUZZ_BUILD:-$root/build-fuzz}"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_FUZZ=ON \
  -DCORVANE_TESTS=OFF -DCORVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t"
  echo "== fuzz_$t for ${seconds} s"
  (cd "$build" && "./tests/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 \
     "$build/corpus/$t" "$root/tests/fuzz/corpus/$t")
done
