#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# The scanforms program on Windows under Wine, over the fake scanner
# (fake-station.exe), played by scanforms-driver.exe from another process:
# --version printed to the console it was started from; a station that
# initializes and ends with Done, leaving Com.TXT; a second station in the
# same folder refused with one box while the first runs.
#
#   program_test.sh PREFIX FAKE_STATION.exe DRIVER.exe   (on a display: wine-display-run.sh)
set -uo pipefail

prefix=$(realpath -m "$1") station=$(realpath "$2") driver=$(realpath "$3")
here=$(dirname "$(realpath "$0")")
wine_run=$here/../../cmake/wine-run.sh
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
printf '2\r\n' >Com.TXT
source "$here/expect.sh"

seen=$("$wine_run" "$prefix" "$station" --version | tr -d '\r')
expect "--version" "scanforms 0.1.0" "$seen"

"$wine_run" "$prefix" "$station" & first=$!
seen=$("$wine_run" "$prefix" "$driver" window press Port_0 press InitializeScanner \
    status "Comm Port opened OK. Initializing Scanner..." | tr -d '\r')
expect "a station initializes" 'window 566x535
pressed Port_0
pressed InitializeScanner
status Comm Port opened OK. Initializing Scanner...' "$seen"

"$wine_run" "$prefix" "$station" & second=$!
seen=$("$wine_run" "$prefix" "$driver" box | tr -d '\r')
expect "a second station is refused" 'box 64 "Scan Forms": Scan Forms already runs in this folder' \
    "$(sed 's/ (process .*//' <<<"$seen")"
status=0
wait "$second" || status=$?
expect "the refused station's exit status" 1 "$status"

expect_done "Done ends the station"
wait "$first"
expect "Com.TXT after Done" "31 0d 0a" "$(od -An -tx1 Com.TXT | xargs)"

exit $((failures > 0))
