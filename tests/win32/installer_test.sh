#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# The installer under Wine, in a fresh prefix: installed silently (/S), the
# program started from its Start menu entry, which makes Documents\Scan Forms
# with Com1 chosen; Done played by the driver; then uninstalled silently,
# leaving the station folder and its data.
#
#   installer_test.sh PREFIX SETUP.exe DRIVER.exe   (on a display: wine-display-run.sh)
set -uo pipefail

if [[ ! -f $2 ]]; then
    echo "installer_test.sh: no installer $2: it is made with NSIS (apt-get install nsis)" >&2
    exit 1
fi
prefix=$(realpath -m "$1") setup=$(realpath "$2") driver=$(realpath "$3")
here=$(dirname "$(realpath "$0")")
wine_run=$here/../../cmake/wine-run.sh
export WINEPREFIX=$prefix WINEDEBUG=-all
rm -rf "$prefix"
source "$here/expect.sh"
installed=$prefix/drive_c/Program\ Files/Scan\ Forms
shortcut='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Scan Forms.lnk'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ScanForms'

"$wine_run" "$prefix" "$setup" /S
wineserver -w  # the installer's work is done when Wine's last process ends
expect "installed files" "scanforms.exe uninstall.exe" "$(ls "$installed" | xargs)"
expect "the Start menu entry" "Scan Forms.lnk" \
    "$(ls "$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs" | grep Scan)"
expect "the list of programs" "DisplayName REG_SZ Scan Forms" \
    "$(wine reg query "$uninstall_key" /v DisplayName | tr -d '\r' | grep DisplayName | xargs)"

# Wine links Documents to the Unix home folder: the test's own is made
# inside the prefix instead.
documents=$(find "$prefix/drive_c/users" -maxdepth 2 -name Documents -type l)
rm -f "$documents" && mkdir "$documents"

"$wine_run" "$prefix" start /wait "$shortcut" & station=$!
expect_done "the station from the Start menu"
wait "$station"
folder=$documents/Scan\ Forms
expect "the station folder's Com.TXT" "31 0d 0a" "$(od -An -tx1 "$folder/Com.TXT" | xargs)"
printf 'records' >"$folder/Scan.TXT"

"$wine_run" "$prefix" 'C:\Program Files\Scan Forms\uninstall.exe' /S
wineserver -w
expect "uninstalled" "gone" "$([[ -e $installed ]] && echo there || echo gone)"
expect "the list of programs after" "gone" \
    "$(wine reg query "$uninstall_key" >/dev/null 2>&1 && echo there || echo gone)"
expect "the station folder kept" "Com.TXT Scan.TXT" "$(ls "$folder" | xargs)"
exit $((failures > 0))
