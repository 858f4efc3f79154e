#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Installs, with apt-get, the Debian 12 packages that building, running and
# testing scanforms need, when any of them is missing; then what debian/control
# says building the Debian package needs (apt-get build-dep), when that is
# missing. Run as root.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkgconf clang libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-serialport-dev libgl-dev
    fonts-liberation fonts-crosextra-carlito
    xvfb xauth
    dpkg-dev desktop-file-utils man-db groff-base xdg-user-dirs
    lintian appstream reuse
    debhelper autopkgtest xdotool
    e2fsprogs mount fuse3 libfuse3-dev libfaketime util-linux
    g++-mingw-w64-x86-64-posix googletest wine64 wine
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! (cd "$(dirname "$0")/.." && dpkg-checkbuilddeps 2>/dev/null); then
    echo "Installing the Debian package's build dependencies"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get build-dep -y -qq --no-install-recommends "$(cd "$(dirname "$0")/.." && pwd)"
fi
