#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Runs a Windows program that shows windows under Wine, on a virtual display
# of its own (Xvfb), whatever display the caller has:
#
#   wine-display-run.sh PREFIX PROGRAM.exe [ARGUMENT...]
#   wine-display-run.sh PREFIX SCRIPT.sh [ARGUMENT...]   (which runs wine-run.sh itself)
#
# Wine's server and its desktop stay bound to the display they started on,
# so they are ended with the program: the next run starts them afresh on its
# own display. Give such programs a prefix of their own, one at a time.
set -euo pipefail

if [[ -z ${SCANFORMS_VIRTUAL_DISPLAY:-} ]]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "wine-display-run.sh: xvfb-run is not installed, and the window tests" \
             "draw on it: apt-get install xvfb" >&2
        exit 127
    fi
    export SCANFORMS_VIRTUAL_DISPLAY=1
    # 24 bits a pixel, as a desktop has, so colours read back as drawn.
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

here=$(dirname "$(realpath "$0")")
status=0
if [[ $2 == *.sh ]]; then
    bash "$2" "$1" "${@:3}" || status=$?
else
    "$here/wine-run.sh" "$@" || status=$?
fi
WINEPREFIX=$(realpath -m "$1") wineserver -k >/dev/null 2>&1 || true
exit "$status"
