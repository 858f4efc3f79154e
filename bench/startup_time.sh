#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Times the real scanforms program from its start to its window on screen.
# It runs on a virtual X display (Xvfb), in a fresh folder whose Com.TXT
# holds 1 (so no failure box comes first); the clock starts just before the
# program is started and stops when `xwininfo` first sees the Scan window
# viewable (mapped on the display). Polling costs a few milliseconds, so the
# figures are a little above the truth. Prints each run and the median.
#   bash bench/startup_time.sh [PROGRAM] [RUNS]
set -euo pipefail
program=${1:-$(dirname "$0")/../build/default/src/app/scanforms}
runs=${2:-11}
title="KOVA SCAN FORMS 2021 A.3"
deadline_ms=10000

for tool in Xvfb xwininfo; do
    command -v "$tool" >/dev/null || { echo "startup_time: $tool is missing (apt-get install xvfb x11-utils)" >&2; exit 1; }
done
[[ -x $program ]] || { echo "startup_time: no program at $program (build it first)" >&2; exit 1; }
program=$(realpath "$program")

work=$(mktemp -d)
# Xvfb picks a free display itself and writes its number to the file; it
# must not reset between clients, or a program started then finds no display.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 200); do
    [[ -s $work/display ]] && break
    sleep 0.05
done
[[ -s $work/display ]] || { echo "startup_time: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display") QT_QPA_PLATFORM=xcb
printf '1\r\n' >"$work/Com.TXT"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
times=()
for run in $(seq "$runs"); do
    start=$(now_ms)
    (cd "$work" && exec "$program") >"$work/output.txt" 2>&1 &
    pid=$!
    while ! xwininfo -name "$title" 2>/dev/null | grep -q 'Map State: IsViewable'; do
        if (($(now_ms) - start > deadline_ms)); then
            echo "startup_time: no window after ${deadline_ms} ms; the program said:" >&2
            cat "$work/output.txt" >&2
            kill "$pid"
            exit 1
        fi
    done
    took=$(($(now_ms) - start))
    times+=("$took")
    echo "run $run: ${took} ms"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "median of $runs runs: ${sorted[$((runs / 2))]} ms"
