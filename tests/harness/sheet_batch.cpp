// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "sheet_batch.h"

#include <array>
#include <cstdio>
#include <map>

#include "sim_process.h"

namespace scanforms::testing {
namespace {

constexpr std::size_t kAnswers = 200;
constexpr std::array<char, 6> kSingleMarks = {'A', 'B', 'D', 'H', 'P', '@'};

char decodedMark(char code) {
    static const std::map<char, char> table{{'A', 'A'}, {'B', 'B'}, {'D', 'C'},
                                            {'H', 'D'}, {'P', 'E'}, {'@', ' '}};
    return table.at(code);
}

}  // namespace

Sheet cleanSheet(int serial) {
    std::array<char, 8> id{};
    std::snprintf(id.data(), id.size(), "%06d", serial);
    std::string codes;
    std::string answers;
    for (std::size_t n = 0; n < kAnswers; ++n) {
        const char code = kSingleMarks[(static_cast<std::size_t>(serial) * 7 + n * 3 + n / 5) %
                                       kSingleMarks.size()];
        codes += code;
        answers += decodedMark(code);
    }
    Sheet sheet;
    sheet.response = std::string("HEAD-12345") + id.data() + "XYZ" + "1234567" + codes;
    sheet.record = "\"" + std::string(id.data()) + "\",\"" + answers + "\"\r\n";
    return sheet;
}

std::vector<Sheet> cleanSheets(int first, int count) {
    std::vector<Sheet> sheets;
    for (int serial = first; serial < first + count; ++serial) {
        sheets.push_back(cleanSheet(serial));
    }
    return sheets;
}

std::string sheetItems(const std::vector<Sheet>& sheets) {
    std::string script;
    for (const Sheet& sheet : sheets) {
        script += "SHEET " + scriptText(sheet.response) + "\n";
    }
    return script;
}

std::string recordsOf(const std::vector<Sheet>& sheets) {
    std::string records;
    for (const Sheet& sheet : sheets) {
        records += sheet.record;
    }
    return records;
}

std::vector<std::string> recordLines(const std::string& scanFile) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < scanFile.size()) {
        const std::size_t end = scanFile.find("\r\n", start);
        const std::size_t next = end == std::string::npos ? scanFile.size() : end + 2;
        lines.push_back(scanFile.substr(start, next - start));
        start = next;
    }
    return lines;
}

}  // namespace scanforms::testing
