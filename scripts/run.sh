#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Builds scanforms and starts it.
#
# With no scanner cabled (none of SCANFORMS_COM1..SCANFORMS_COM4 set), it
# starts scanner-sim playing samples/demo-batch.txt at the speed of a real
# serial line, points Com1 at it, and runs the program in a demonstration
# station folder whose Com.TXT holds 1. Press Initialize Scanner, then Start
# Scanning, and watch the batch go by.
#
# With a scanner cabled, set SCANFORMS_COM<N> to its device (for example
# SCANFORMS_COM1=/dev/ttyUSB0) and the program runs in the current folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

bash "$top/scripts/install-deps.sh"
cmake --preset default -S "$top" >/dev/null
cmake --build --preset default --target scanforms scanner-sim
program=$top/build/default/src/app/scanforms
simulator=$top/build/default/tools/scanner-sim/scanner-sim

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display to show the window on: run it as  xvfb-run -a bash scripts/run.sh" \
         "(add  -s '-screen 0 800x600x24'  to watch with a VNC viewer)." >&2
    exit 1
fi

if [[ -n "${SCANFORMS_COM1:-}${SCANFORMS_COM2:-}${SCANFORMS_COM3:-}${SCANFORMS_COM4:-}" ]]; then
    echo "Scanner ports from SCANFORMS_COM<N>; records go to $(pwd)/Scan.TXT"
    exec "$program"
fi

station=$top/build/demo-station
mkdir -p "$station"
printf '1\r\n' > "$station/Com.TXT"
link=$station/scanner-device
sim_out=$station/scanner-sim.out
"$simulator" --wire-speed --link "$link" --log "$station/scanner-commands.log" \
    "$top/samples/demo-batch.txt" > "$sim_out" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT

for _ in $(seq 100); do
    [[ -s "$sim_out" && -L "$link" ]] && break
    kill -0 "$sim_pid" 2>/dev/null || { echo "scanner-sim did not start" >&2; exit 1; }
    sleep 0.1
done
[[ -L "$link" ]] || { echo "scanner-sim did not show its device" >&2; exit 1; }

export SCANFORMS_COM1=$link
echo "Simulated scanner on $(head -n 1 "$sim_out") as Com1; commands it receives: $station/scanner-commands.log"
echo "Records go to $station/Scan.TXT"
cd "$station"
"$program"
