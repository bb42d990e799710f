#!/usr/bin/env bash
# Starts the player under a virtual X server, runs an optional xdotool
# script against it, and saves a screenshot of the whole screen.
#   scripts/screenshot.sh OUT.png [DELAY_SECONDS] [-- player arguments...]
# XDO_STEPS may hold extra shell commands (xdotool ...) run before the shot.
set -euo pipefail
out=${1:?usage: screenshot.sh OUT.png [DELAY] [-- args]}
shift
delay=${1:-4}
[ $# -gt 0 ] && shift
[ "${1:-}" = "--" ] && shift
here=$(cd "$(dirname "$0")/.." && pwd)
export QOR_SHOT_OUT=$out QOR_SHOT_DELAY=$delay QOR_PLAYER=$here/build/qorplayer
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
  "$QOR_PLAYER" "$@" &
  pid=$!
  sleep "$QOR_SHOT_DELAY"
  eval "${XDO_STEPS:-}"
  import -window root "$QOR_SHOT_OUT"
  kill $pid 2>/dev/null || true
' bash "$@"
