#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Runs a Windows test program under Wine with a COM port that leads to
# scanner-sim's pseudo-terminal:
#
#   wine-comm-run.sh PREFIX SCANNER-SIM PORT PROGRAM.exe [ARGUMENT...]
#   wine-comm-run.sh PREFIX SCANNER-SIM PORT SCRIPT.sh [ARGUMENT...]  (run as SCRIPT.sh PREFIX ...)
#
# PORT (COM12, say) is mapped in PREFIX's registry to the link a simulator
# makes in a fresh folder; the test starts and stops simulators there
# (tests/win32/wine_sim.h), which it finds by SCANFORMS_TEST_SIM,
# SCANFORMS_TEST_SIM_DIR and SCANFORMS_TEST_PORT. Wine reads its port map
# when its server starts, so the server is restarted after mapping.
set -euo pipefail

prefix=$(realpath -m "$1") simulator=$2 port=$3
shift 3
if [[ ! -x $simulator ]]; then
    echo "wine-comm-run.sh: no scanner-sim at $simulator: build it for this machine first" \
         "(cmake --preset ci && cmake --build --preset ci --target scanner-sim), or set" \
         "SCANFORMS_SCANNER_SIM to it when configuring windows-cross" >&2
    exit 1
fi
wine_run=$(dirname "$(realpath "$0")")/../../cmake/wine-run.sh
folder=$(mktemp -d "${TMPDIR:-/tmp}/scanforms-wine-comm-XXXXXX")
cleanup() {
    if [[ -f $folder/pid ]]; then
        kill "$(cat "$folder/pid")" 2>/dev/null || true
    fi
    rm -rf "$folder"
}
trap cleanup EXIT

"$wine_run" "$prefix" reg add 'HKLM\Software\Wine\Ports' /v "$port" /t REG_SZ \
    /d "$folder/scanner" /f >/dev/null
WINEPREFIX=$prefix wineserver -k || true
WINEPREFIX=$prefix wineserver -w
export SCANFORMS_TEST_SIM=$(realpath "$simulator") SCANFORMS_TEST_SIM_DIR=$folder \
    SCANFORMS_TEST_PORT=$port
if [[ $1 == *.sh ]]; then
    bash "$1" "$prefix" "${@:2}"
else
    "$wine_run" "$prefix" "$@"
fi
