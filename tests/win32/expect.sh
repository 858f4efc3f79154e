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

# expect_done WHAT: Done (the control Cancel) pressed by the driver on the
# running station of $prefix, its box answered, and the window gone.
expect_done() {
    local seen
    seen=$("$wine_run" "$prefix" "$driver" window press Cancel box gone | tr -d '\r')
    expect "$1" 'window 566x535
pressed Cancel
box 64 "Press scanner END button.": Press the END button on your scanner.
gone' "$seen"
}
