#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Checks that every file says its license; builds scanforms and runs every
# test, first in the warnings-as-errors build, then again under
# AddressSanitizer and UndefinedBehaviorSanitizer; builds the core and its
# tests for Windows and runs them under Wine; builds the Debian package as
# Debian does, checks it with lintian and tests it installed with
# autopkgtest; then fuzzes each fuzz target for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

echo "== licenses: every file says its license (reuse lint)"
reuse lint

export QT_QPA_PLATFORM=offscreen
for preset in ci sanitize; do
    echo "== $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" --timeout 300
done

echo "== windows-cross build: the core's tests for Windows, under Wine"
cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross
ctest --preset windows-cross --timeout 300

echo "== Debian package: dpkg-buildpackage in a copy of the tree, lintian, autopkgtest"
bash scripts/debian-package.sh build/debian-package

echo "== fuzzing, a minute a target"
bash scripts/fuzz.sh 60
