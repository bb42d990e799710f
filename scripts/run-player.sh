#!/usr/bin/env bash
# Installs what is missing, builds, makes a sample recording if there is none
# and starts the player on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
mkdir -p samples
if [ ! -f samples/sample.bvf ]; then
  build/qorplayer-cli make-sample samples/sample.bvf --colour --frames 200 --first -100
fi
exec build/qorplayer samples/sample.bvf "$@"
