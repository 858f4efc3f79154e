# SPDX-FileCopyrightText: 2026 The scanforms developers
# SPDX-License-Identifier: MIT

# The Scan.TXT records a scanner-sim batch script must leave, worked out from
# the script alone (awk -f clean-sheets.awk BATCH > expected-Scan.TXT):
#
# A clean sheet's record: its identifier (response positions 11-16) and its
# 200 answers (positions 27-226), each mark code A, B, D, H, P or @ read as
# A to E or blank. A sheet with any other code, or shorter, is rejected.
/\\/ { print "the batch escapes bytes, which this reader does not read" > "/dev/stderr"; exit 2 }
/^SHEET / {
    response = substr($0, 7)
    answers = ""
    for (n = 1; n <= 200; n++) {
        code = substr(response, 26 + n, 1)
        answer = code == "A" ? "A" : code == "B" ? "B" : code == "D" ? "C" : \
                 code == "H" ? "D" : code == "P" ? "E" : code == "@" ? " " : ""
        if (answer == "") break
        answers = answers answer
    }
    if (n > 200) printf "\"%s\",\"%s\"\r\n", substr(response, 11, 6), answers
}
