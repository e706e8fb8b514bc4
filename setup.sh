#!/usr/bin/env bash
# Installs every Debian package the build and the tests need, on a minimal
# Debian 12: nothing is assumed to be there already.
#   build:   compiler, CMake, libpng, FLTK 1.3 (whose CMake files need fluid
#            and the OpenGL headers),
#            GoogleTest, Google Benchmark, the Gmsh library for the interop tools
#   tests:   Ghostscript renders every EPS; Xvfb, a window manager (openbox),
#            xdotool, ImageMagick and the X utilities drive the real windows;
#            GTK 2, which FLTK loads for its file chooser, so the chooser is
#            the same on every machine; python3 reads PNG pixels; clang with its runtimes builds the
#            fuzz targets and the sanitizer build; libseccomp keeps the Gmsh
#            part of vortan-import from starting programs
#   solver:  CalculiX (ccx), which vortan-solve runs
#   checks:  VTK's Python reader (exported files), lintian, desktop-file-utils,
#            AppStream, file, dpkg-dev and man-db (the Debian package, its dependencies
#            worked out from the shared libraries, its menu entries and manual pages)
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  ca-certificates g++ cmake make pkg-config git \
  libgtest-dev libgmock-dev libbenchmark-dev \
  libpng-dev libfltk1.3-dev fluid libgl-dev libglu1-mesa-dev libgmsh-dev \
  ghostscript xvfb xauth x11-utils x11-xserver-utils xdotool openbox \
  imagemagick python3 procps libgtk2.0-0 \
  clang libclang-rt-14-dev llvm libseccomp-dev \
  calculix-ccx python3-vtk9 lintian desktop-file-utils appstream file dpkg-dev man-db \
  >/dev/null
echo "setup: packages installed"
