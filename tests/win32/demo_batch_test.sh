#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# The demo batch end to end under Wine, as a school would run it: the
# installer installed silently into a fresh prefix; scanner-sim playing the
# batch on a pseudo-terminal mapped to COM1 (wine-comm-run.sh); the installed
# scanforms.exe in a station folder, played by the driver (Initialize
# Scanner, Start Scanning, every box answered, Done); then Scan.TXT, Com.TXT
# and FormsFlag.TXT as the Linux program leaves them, and the folder kept
# after a silent uninstall. Prints the records, bytes and wall time.
#
#   demo_batch_test.sh PREFIX SETUP.exe DRIVER.exe SCANNER-SIM BATCH   (on a display)
set -uo pipefail

here=$(dirname "$(realpath "$0")")
wine_run=$here/../../cmake/wine-run.sh
if [[ -z ${SCANFORMS_TEST_SIM_DIR:-} ]]; then
    if [[ ! -f $2 ]]; then
        echo "demo_batch_test.sh: no installer $2: it is made with NSIS (apt-get install nsis)" >&2
        exit 1
    fi
    rm -rf "$(realpath -m "$1")"
    exec bash "$here/wine-comm-run.sh" "$1" "$4" COM1 "$(realpath "$0")" "$(realpath "$2")" \
        "$(realpath "$3")" "$(realpath "$5")"
fi
prefix=$1 setup=$2 driver=$3 batch=$4
export WINEPREFIX=$prefix WINEDEBUG=-all
source "$here/expect.sh"
started=$(date +%s.%N)
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

"$wine_run" "$prefix" "$setup" /S
wineserver -w  # the installer's work is done when Wine's last process ends
installed=$prefix/drive_c/Program\ Files/Scan\ Forms

# scanner-sim on the link COM1 leads to, its pid where wine-comm-run.sh ends it.
sim=$SCANFORMS_TEST_SIM_DIR
/bin/sh -c "echo \$\$ >'$sim/pid'; exec '$SCANFORMS_TEST_SIM' --link '$sim/scanner' '$batch' \
    >'$sim/sim.out' 2>'$sim/sim.err'" &
for _ in $(seq 100); do
    [[ -L $sim/scanner ]] && break
    sleep 0.1
done
expect "scanner-sim's device" "there" "$([[ -L $sim/scanner ]] && echo there)"

cd "$folder" || exit 1
printf '1\r\n' >Com.TXT
"$wine_run" "$prefix" 'C:\Program Files\Scan Forms\scanforms.exe' & station=$!
shown=$(date +%s.%N)
ready="OK to scan forms.  Click the Start Scanning button when you are ready."
seen=$("$wine_run" "$prefix" "$driver" --deadline 60 window press InitializeScanner \
    status "$ready" press StartScan box box box box press Cancel box gone | tr -d '\r')
expect "the operator's steps" "window 566x535
pressed InitializeScanner
status $ready
pressed StartScan" "$(head -4 <<<"$seen")"
printf '%s\n' "$seen"
expect "the batch's boxes answered, then Done's, then the end" "5 gone" \
    "$(grep -c '^box ' <<<"$seen") $(tail -1 <<<"$seen")"
wait "$station"
finished=$(date +%s.%N)

expect "Scan.TXT" "same" \
    "$(cmp <(awk -f "$here/../../samples/clean-sheets.awk" "$batch") Scan.TXT && echo same)"
expect "Com.TXT after Done" "31 0d 0a" "$(od -An -tx1 Com.TXT | xargs)"
expect "FormsFlag.TXT after Done" "31 0d 0a" "$(od -An -tx1 FormsFlag.TXT | xargs)"
printf 'demo batch under Wine: %d records, %d bytes; %.1f s from start to Done, %.1f s %s\n' \
    "$(wc -l <Scan.TXT)" "$(wc -c <Scan.TXT)" "$(bc <<<"$finished - $shown")" \
    "$(bc <<<"$finished - $started")" "with the install"

"$wine_run" "$prefix" 'C:\Program Files\Scan Forms\uninstall.exe' /S
wineserver -w
expect "uninstalled" "gone" "$([[ -e $installed ]] && echo there || echo gone)"
expect "the station folder kept" "Com.TXT FormsFlag.TXT Scan.TXT" "$(ls | xargs)"
exit $((failures > 0))
