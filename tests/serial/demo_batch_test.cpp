// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// samples/demo-batch.txt says what each sheet shows an operator; this holds
// the sample to it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/multiple_marks.h"
#include "decode/response_decoder.h"
#include "script.h"

namespace scanner_sim {
namespace {

using Kind = ScriptItem::Kind;

std::vector<ScriptItem> demoBatch() {
    return loadScript(DEMO_BATCH_PATH);
}

std::vector<std::string> sheets(const std::vector<ScriptItem>& items) {
    std::vector<std::string> found;
    for (const auto& item : items) {
        if (item.kind == Kind::Sheet) {
            found.push_back(item.bytes);
        }
    }
    return found;
}

TEST(DemoBatch, HoldsTwentyFiveSheetsANoticeAFaultAndEndsTheBatch) {
    const auto items = demoBatch();
    EXPECT_EQ(sheets(items).size(), 25u);
    std::vector<Kind> others;
    for (const auto& item : items) {
        if (item.kind != Kind::Sheet) {
            others.push_back(item.kind);
        }
    }
    EXPECT_EQ(others, (std::vector<Kind>{Kind::Notice, Kind::Fault, Kind::End}));
    EXPECT_EQ(items.back().kind, Kind::End);
}

TEST(DemoBatch, StartsWithTheWorkedExample) {
    const std::string decoded =
        scanforms::decode::decodeResponse(sheets(demoBatch()).front()).text();
    EXPECT_EQ(decoded,
              "004217XYZ"
              "AC ED" +
                  std::string(195, ' '));
}

TEST(DemoBatch, RejectsExactlyTheMultipleMarkAndTheShortSheet) {
    std::vector<std::string> warnings;
    std::size_t clean = 0;
    for (const auto& sheet : sheets(demoBatch())) {
        const auto positions = scanforms::decode::multipleMarkPositions(
            scanforms::decode::decodeResponse(sheet).text());
        if (positions.empty()) {
            ++clean;
        } else {
            warnings.push_back(scanforms::decode::multipleMarkWarning(positions));
        }
    }
    EXPECT_EQ(clean, 23u);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], "Multiple marks at position(s):   3,  17,  Re-scan the form.");
    EXPECT_TRUE(warnings[1].starts_with("Multiple marks at position(s):   95,  96, "))
        << warnings[1];
}

}  // namespace
}  // namespace scanner_sim
