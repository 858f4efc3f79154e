// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The demo batch through the whole station as an operator runs it: the real
// window on the offscreen platform, the serial component, and scanner-sim
// playing samples/demo-batch.txt on a pseudo-terminal. The expected record
// file and command log are worked out here from the script alone, with the
// mark-code table written out again, not with the program's decoder.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "station_run.h"

namespace scanforms::testing {
namespace {

constexpr std::chrono::seconds kDemoBatchDeadline{60};

// What the script makes of one batch run from READ to END.
struct Expected {
    std::string records;
    std::vector<std::string> commands{"f-3652.800", "READ"};
    std::vector<std::string> boxes;
};

// A script line's text with its \xHH, \\ escapes undone.
std::string unescape(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            bytes += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

Expected expectedFromScript(const std::string& script) {
    const std::map<char, char> marks{{'A', 'A'}, {'B', 'B'}, {'D', 'C'},
                                     {'H', 'D'}, {'P', 'E'}, {'@', ' '}};
    Expected expected;
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("SHEET ", 0) == 0) {
            const std::string response = unescape(line.substr(6));
            std::string answers;
            std::string doubtful;
            for (int n = 1; n <= 200; ++n) {
                const std::size_t at = static_cast<std::size_t>(26 + n - 1);
                const auto mark = at < response.size() ? marks.find(response[at]) : marks.end();
                if (mark == marks.end()) {
                    doubtful += " " + std::to_string(n) + ", ";
                } else {
                    answers += mark->second;
                }
            }
            if (doubtful.empty()) {
                expected.records += "\"" + response.substr(10, 6) + "\",\"" + answers + "\"\r\n";
            } else {
                expected.boxes.push_back("Multiple marks at position(s):  " + doubtful +
                                         " Re-scan the form.");
            }
            expected.commands.push_back("Read");
        } else if (line.rfind("FAULT", 0) == 0) {
            expected.boxes.push_back(kFaultBox);
            expected.commands.push_back("RECOVER");
            expected.commands.push_back("Read");
        } else if (line == "END") {
            expected.boxes.push_back(kEndOfBatchBox);
        }
    }
    expected.boxes.push_back("Press the END button on your scanner.");
    return expected;
}

TEST(Station, DemoBatchFromInitializeToDone) {
    const std::string script = readFileBytes(DEMO_BATCH_PATH);
    ASSERT_FALSE(script.empty()) << "cannot read " << DEMO_BATCH_PATH;
    const Expected expected = expectedFromScript(script);
    ASSERT_EQ(std::count(expected.records.begin(), expected.records.end(), '\n'), 23);
    ASSERT_EQ(expected.boxes.size(), 5u);

    TempDir folder;
    StationRun station(script);
    EXPECT_TRUE(station.boxTexts().empty()) << "the port file selects Com1 without a box";
    station.initialize();
    station.startScanning();
    EXPECT_TRUE(waitFor(
        [&] {
            const std::vector<std::string> shown = station.boxTexts();
            return !shown.empty() && shown.back() == kEndOfBatchBox;
        },
        kDemoBatchDeadline));
    station.done();
    EXPECT_TRUE(waitFor([&] { return station.ended(); }));

    EXPECT_EQ(station.boxTexts(), expected.boxes);
    EXPECT_EQ(folder.read("Scan.TXT"), expected.records);
    EXPECT_EQ(folder.read("Com.TXT"), "1\r\n");
    EXPECT_EQ(folder.read("FormsFlag.TXT"), "1\r\n");
    EXPECT_EQ(station.sim().logLines(), expected.commands);
}

}  // namespace
}  // namespace scanforms::testing
