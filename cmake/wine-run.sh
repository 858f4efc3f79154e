#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Runs a Windows console program under Wine: the emulator that the tests of a
# cross build for Windows run under (see CMakePresets.json, windows-cross).
#
#   wine-run.sh PREFIX PROGRAM.exe [ARGUMENT...]
#
# PREFIX is a Wine folder of the build's own, made on first use in about ten
# seconds. No display is needed, and Wine's own messages are off, so what the
# program prints is all there is.
set -euo pipefail

if ! command -v wine >/dev/null; then
    echo "wine-run.sh: Wine is not installed, and the Windows tests run under it:" \
         "apt-get install wine64 wine (bash scripts/install-deps.sh does)" >&2
    exit 127
fi

WINEPREFIX=$(realpath -m "$1")  # Wine takes no relative one
export WINEPREFIX
shift
export WINEDEBUG=-all
# Console programs need neither .NET nor the HTML engine, which Wine would
# otherwise offer to install.
export WINEDLLOVERRIDES="mscoree,mshtml="

# One program at a time makes the prefix, or starts Wine's server, while any
# other waits (none of them may keep the lock's descriptor). The server, and
# the services that its first program starts, then stay up from one test
# program to the next instead of starting afresh for each, which takes
# seconds; they end ten seconds after the last. They start here, away from
# the test's output, which they would otherwise hold open until they end,
# keeping the test from ending with its program.
mkdir -p "$(dirname "$WINEPREFIX")"
{
    flock 9
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        if ! wine wineboot --init </dev/null >/dev/null 2>&1 9>&-; then
            echo "wine-run.sh: Wine could not make its prefix $WINEPREFIX" >&2
            exit 1
        fi
        wineserver -w 9>&- || true  # the new prefix is saved whole when its server ends
    fi
    if wineserver -p10 </dev/null >/dev/null 2>&1 9>&-; then
        wine cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
} 9>"$WINEPREFIX.lock"

exec wine "$@"
