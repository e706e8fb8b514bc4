#!/usr/bin/env bash
# Installs every Debian package the build and the tests need.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  g++ cmake make pkg-config \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libpng-dev libfltk1.3-dev \
  ghostscript xvfb xauth x11-utils xdotool imagemagick \
  >/dev/null
echo "setup: packages installed"
