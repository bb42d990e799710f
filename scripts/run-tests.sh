#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Test discovery runs the test programs during the build: no display there.
export QT_QPA_PLATFORM=offscreen
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
