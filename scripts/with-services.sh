#!/usr/bin/env bash
# Runs a command with the real services the tests use: a JACK server on the dummy driver and an
# Xvfb display, each under a name of its own so that it never meets a user's server. Waits until
# each answers, exports how to reach them (JACK_DEFAULT_SERVER, DISPLAY) and stops both when the
# command ends, also on failure or interruption. CORVANE_REQUIRE_SERVICES=1 tells the tests that
# a missing server is a failure, not a reason to skip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/corvane-services.XXXXXX")
jack_pid=""
xvfb_pid=""
stop_services() {
  [ -n "$jack_pid" ] && kill "$jack_pid" 2>/dev/null && wait "$jack_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
  return 0
}
trap stop_services EXIT
trap 'exit 130' INT TERM

export JACK_DEFAULT_SERVER="corvane-test-$$"
export JACK_NO_AUDIO_RESERVATION=1
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
jack_pid=$!
if ! timeout 20 jack_wait -s "$JACK_DEFAULT_SERVER" -w -t 15 >/dev/null 2>&1; then
  echo "with-services: the JACK server did not start:" >&2
  cat "$work/jackd.log" >&2
  exit 1
fi

# Xvfb picks a free display itself and writes its number to the descriptor we give it.
exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1920x1200x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
exec 9>&-
if [ ! -s "$work/display" ]; then
  echo "with-services: Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
timeout 10 bash -c 'until xdpyinfo >/dev/null 2>&1; do sleep 0.1; done'

export CORVANE_REQUIRE_SERVICES=1
echo "with-services: JACK server '$JACK_DEFAULT_SERVER', display $DISPLAY"
"$@"
