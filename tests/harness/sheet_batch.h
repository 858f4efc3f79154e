// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Clean answer sheets with distinct identifiers, the scanner-sim script that
// plays them, and the Scan.TXT lines they must give. The expected lines are
// worked out here with the mark-code table written out again, not with the
// program's decoder.

#include <cstddef>
#include <string>
#include <vector>

namespace scanforms::testing {

inline constexpr std::size_t kRecordBytes = 213;

struct Sheet {
    std::string response;  // 226 bytes as the scanner sends it
    std::string record;    // the 213-byte line of Scan.TXT, CR LF included
};

// Sheet number `serial` (0 to 999,999): identifier `serial` in six digits and
// answers that differ from one sheet to the next, all of them single marks.
Sheet cleanSheet(int serial);

// Sheets `first` to `first + count - 1`.
std::vector<Sheet> cleanSheets(int first, int count);

// One script line per sheet: "SHEET <response>".
std::string sheetItems(const std::vector<Sheet>& sheets);

// The records of `sheets`, one after another.
std::string recordsOf(const std::vector<Sheet>& sheets);

// Splits Scan.TXT into its lines; a tail that is not a whole line comes last.
std::vector<std::string> recordLines(const std::string& scanFile);

}  // namespace scanforms::testing
