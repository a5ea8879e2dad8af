#!/bin/sh
# Installs everything the build, the programs and the tests need on Debian 12.
# Run as root. Safe to run again: apt-get skips what is already installed.
set -eu
if [ "$(id -u)" -ne 0 ]; then
    echo "tools/dependencias.sh: run as root (it installs Debian packages with apt-get)" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    build-essential cmake g++ clang clang-format libclang-rt-14-dev python3 lintian \
    libgtest-dev libbenchmark-dev \
    freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri \
    xvfb xauth x11-utils xdotool apitrace imagemagick \
    valgrind libtinyobjloader-dev libstb-dev libassimp-dev pkg-config
