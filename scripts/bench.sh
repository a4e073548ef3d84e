#!/usr/bin/env bash
# Release build of the benchmarks, then runs each one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF -DCORVANE_BENCH=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
for b in $(find "$build/bench" -maxdepth 1 -type f -name 'bench_*' -perm -u+x | sort); do
  echo "== $(basename "$b")"
  "$b" "$@"
done
if [ -x "$build/bench/corvane_whole_bench" ]; then
  echo "== corvane_whole_bench"
  "$build/bench/corvane_whole_bench"
fi
if [ -x "$build/bench/corvane_live_bench" ] && command -v jackd >/dev/null; then
  echo "== corvane_live_bench"
  "$build/bench/corvane_live_bench"
fi
