#!/usr/bin/env bash
# A trial of the LV2 plug-in in Ardour, without Ardour's window: Ardour's headless Lua session
# tool (ardour7-lua) creates a session with a MIDI track playing Corvane, sets a parameter, saves,
# reopens the session and reads the parameter back, then plays a note through the plug-in on
# Ardour's dummy audio engine and reads the track's meter (scripts/ardour/trial.lua prints a
# "trial:" line per step).
#
#   scripts/try-ardour.sh [build folder]     (default: build, a release build with the bundle)
#
# Ardour is a trial tool here, not a dependency of the build or the tests: this script installs
# Debian's `ardour` itself when it is missing (apt-get), install-deps.sh leaves it out, and CI
# does not run this. The plug-in must not be a sanitizer build: Ardour does not start with the
# sanitizer's runtime preloaded. Ardour's settings and the session go into a scratch folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bundle="$build/lv2/Corvane.lv2"

if [ ! -f "$bundle/Corvane.so" ]; then
  echo "try-ardour: no bundle in $bundle; build it first:" >&2
  echo "  cmake -S $root -B $build -DCMAKE_BUILD_TYPE=Release && cmake --build $build --target CorvaneLv2Bundle" >&2
  exit 1
fi
if nm -D "$bundle/Corvane.so" 2>/dev/null | grep -q __asan_init; then
  echo "try-ardour: $bundle is a sanitizer build; use a release build" >&2
  exit 1
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if ! compgen -G "/usr/bin/ardour*-lua" >/dev/null; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends ardour
fi
lua_tool=$(compgen -G "/usr/bin/ardour*-lua" | sort | tail -n1)
echo "try-ardour: $(dpkg-query -W -f '${Package} ${Version}' ardour 2>/dev/null), $lua_tool"

work=$(mktemp -d "${TMPDIR:-/tmp}/corvane-ardour.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Ardour finds the note generator among its own scripts in its configuration folder.
config="$work/config"
mkdir -p "$config"/ardour{6,7,8}/scripts
for d in "$config"/ardour*/scripts; do cp "$root/scripts/ardour/corvane-trial-note.lua" "$d/"; done

export XDG_CONFIG_HOME="$config"
export CORVANE_DATA_HOME="$work/corvane"
export LV2_PATH="$build/lv2:/usr/lib/lv2"
export CORVANE_TRIAL_SESSION="$work/session"
# One phase per process (see trial.lua). The tool does not always end by itself after its script
# (Ardour 7.3 can hang tearing the session down), so each phase ends it once its last line is out.
run_phase() {
  local log="$work/$1.log"
  : >"$log"
  CORVANE_TRIAL_PHASE=$1 "$lua_tool" "$root/scripts/ardour/trial.lua" </dev/null >"$log" 2>&1 &
  local pid=$!
  local waited=0
  while kill -0 "$pid" 2>/dev/null && ! grep -q '^trial: \(done\|FAILED\)' "$log" && [ $waited -lt 300 ]; do
    sleep 1
    waited=$((waited + 1))
  done
  sleep 1
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  cat "$log"
  grep -q '^trial: done' "$log"
}
if run_phase create && run_phase reopen; then
  echo "try-ardour: every step passed"
  exit 0
fi
echo "try-ardour: the trial did not finish" >&2
exit 1
