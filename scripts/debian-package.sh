#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Builds the Debian package from debian/ as Debian does, in a copy of the
# tree so the work tree stays clean; checks it, and the source package made
# of the same copy, with lintian; and tests it installed with autopkgtest on
# this machine (the null runner: the package is installed here for the
# tests, and purged after them). Run as root.
#
#   bash scripts/debian-package.sh <folder>
#
# Leaves the packages, the .changes, the source package and autopkgtest's
# logs in <folder>.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-parsechangelog -l "$top/debian/changelog" -S Version)
upstream=${version%-*}
rm -rf "$1"
mkdir -p "$1"
out=$(cd "$1" && pwd)
source=$out/scanforms-$upstream

# The copy: the tree as it is, edits included, without builds or history;
# and its upstream tarball, all of it but debian/.
mkdir "$source"
tar -C "$top" --exclude=./.git --exclude=./build --exclude='./build-*' --exclude=./out -cf - . |
    tar -C "$source" -xf -
tar -C "$out" --exclude="scanforms-$upstream/debian" -cJf "$out/scanforms_$upstream.orig.tar.xz" \
    "scanforms-$upstream"

# -tc cleans the copy after the build, for the source package and autopkgtest.
(cd "$source" && DEB_BUILD_OPTIONS="parallel=$(nproc)" dpkg-buildpackage -us -uc -b -tc)
(cd "$out" && dpkg-source -b "scanforms-$upstream")

# Errors and warnings fail; pedantic and informational tags are shown.
# CI runs as root, which lintian refuses unasked.
lintian --allow-root --pedantic --info --fail-on error,warning \
    "$out/scanforms_${version}_$(dpkg --print-architecture).changes" "$out/scanforms_$version.dsc"

trap 'dpkg --purge scanforms >/dev/null' EXIT
autopkgtest --output-dir "$out/autopkgtest" \
    "$out/scanforms_${version}_$(dpkg --print-architecture).deb" "$source/" -- null
