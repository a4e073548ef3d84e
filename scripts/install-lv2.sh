#!/usr/bin/env bash
# Builds the LV2 bundle Corvane.lv2 and copies it into the user's LV2 folder, where Ardour, jalv,
# Qtractor and every other LV2 host find it:
#   scripts/install-lv2.sh [build folder, default build] [destination, default ~/.lv2]
# The bundle is replaced whole, so a host never reads a half-copied one from an older build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
destination=${2:-${LV2_USER_DIR:-$HOME/.lv2}}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCORVANE_TESTS=OFF -DCORVANE_BENCH=OFF
fi
cmake --build "$build" -j3 --target CorvaneLv2Bundle

mkdir -p "$destination"
staging=$(mktemp -d "$destination/.Corvane.lv2.XXXXXX")
trap 'rm -rf "$staging"' EXIT
cp -r "$build/lv2/Corvane.lv2/." "$staging/"
rm -rf "$destination/Corvane.lv2"
mv "$staging" "$destination/Corvane.lv2"
trap - EXIT
echo "Installed $destination/Corvane.lv2"
