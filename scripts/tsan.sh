#!/usr/bin/env bash
# Builds the concurrency stress tests with ThreadSanitizer in their own build folder and runs them;
# any data race fails the run. Arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="${CORVANE_TSAN_BUILD:-$root/build-tsan}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCORVANE_TSAN=ON -DCORVANE_BENCH=OFF >/dev/null
targets=(engine_ConcurrentUseStressTest engine_StateWhileRenderingTest platform_audio_HostCallbacksSlotTest)
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
cd "$build"
ctest --output-on-failure -R 'ConcurrentUse|StateWhileRendering|HostCallbacksSlot' "$@"
