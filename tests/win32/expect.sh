# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# Sourced by the Windows scripts' tests: expect WHAT WANTED SEEN notes a
# failure, with both texts, in `failures`; the test exits with it at its end.
failures=0
expect() {
    if [[ $3 != "$2" ]]; then
        printf 'FAILED %s\n--- wanted:\n%s\n--- seen:\n%s\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}
