#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the player need.
# Only missing packages are installed; apt-get update runs only then.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev libqcustomplot-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  libtiff-dev libturbojpeg0-dev libjpeg62-turbo-dev libxlsxwriter-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  ffmpeg libtiff-tools imagemagick python3 python3-scipy python3-openpyxl
  xvfb xdotool x11-utils
)

# Reference figures in benchmarks (OpenCV) and the fuzzers (clang) are
# optional: scripts/install-deps.sh --extras
if [ "${1:-}" = "--extras" ]; then
  packages+=(libopencv-dev clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
