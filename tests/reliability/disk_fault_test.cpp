// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The disk under Scan.TXT fills up, or turns read-only, in the middle of a
// batch: the operator gets the standard failure box with the system's
// description, Scan.TXT keeps only whole records, the program goes on
// reading sheets, and scanning works again once the disk has room.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fakes/file_bytes.h"
#include "scratch_mount.h"
#include "sheet_batch.h"
#include "station_run.h"

namespace scanforms::testing {
namespace {

// Com.TXT takes one page of the tmpfs, Scan.TXT gets the other two: room for
// 38 whole records, and the 39th runs out of space in its middle.
constexpr std::size_t kSmallDisk = 3 * 4096;
constexpr std::size_t kRoomyDisk = 1024 * 1024;
constexpr std::size_t kExt4Disk = 8 * 1024 * 1024;
constexpr int kFirstBatch = 45;

// Scan.TXT as whole records that are the batch's first ones; returns how many.
std::size_t checkWholeRecords(const std::string& scanFile, const std::vector<Sheet>& sheets) {
    const std::vector<std::string> lines = recordLines(scanFile);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].size(), kRecordBytes) << "line " << i + 1 << " is torn";
        EXPECT_LT(i, sheets.size());
        if (i < sheets.size()) {
            EXPECT_EQ(lines[i], sheets[i].record) << "line " << i + 1;
        }
    }
    return lines.size();
}

// The boxes' texts without the sheet a failed record names.
std::vector<std::string> withoutSheets(std::vector<std::string> texts) {
    for (std::string& text : texts) {
        text = text.substr(0, text.find(": "));
    }
    return texts;
}

std::vector<std::string> readsAfterStart(std::size_t reads) {
    std::vector<std::string> log{"f-3652.800", "READ"};
    log.insert(log.end(), reads, "Read");
    return log;
}

TEST(DiskFault, DiskFillsUpMidBatch) {
    ScratchMount disk(ScratchMount::Kind::Tmpfs, kSmallDisk);
    const std::vector<Sheet> first = cleanSheets(1, kFirstBatch);
    const std::vector<Sheet> second = cleanSheets(501, 5);
    StationRun station(sheetItems(first) + "END\n" + sheetItems(second) + "END\n");
    station.initialize();
    station.startScanning();
    ASSERT_TRUE(station.waitForBoxes(kEndOfBatchBox))
        << ::testing::PrintToString(station.boxTexts());

    const std::size_t kept = checkWholeRecords(readFileBytes("Scan.TXT"), first);
    ASSERT_GT(kept, 0u);
    ASSERT_LT(kept, first.size()) << "the disk never filled up";
    // The write that met the full disk is reported as such; the record file
    // is closed with it, so each later clean sheet's write fails in turn.
    std::vector<std::string> expected{std::string(kFailurePrefix) + "Disk full"};
    expected.insert(expected.end(), first.size() - kept - 1,
                    std::string(kFailurePrefix) + "Bad file name or number");
    expected.emplace_back(kEndOfBatchBox);
    EXPECT_EQ(withoutSheets(station.boxTexts()), expected);
    EXPECT_EQ(station.sim().logLines(), readsAfterStart(first.size()))
        << "every sheet was still read, decoded and answered";
    EXPECT_FALSE(station.ended());

    disk.resize(kRoomyDisk);
    station.startScanning();
    ASSERT_TRUE(station.waitForBoxes(kEndOfBatchBox, 2));
    EXPECT_EQ(readFileBytes("Scan.TXT"), recordsOf(second));
    station.done();
    EXPECT_TRUE(waitFor([&] { return station.ended(); }));
    EXPECT_EQ(readFileBytes("Com.TXT"), "1\r\n");
    EXPECT_EQ(readFileBytes("FormsFlag.TXT"), "1\r\n");
}

TEST(DiskFault, DirectoryTurnsReadOnlyMidBatch) {
    ScratchMount disk(ScratchMount::Kind::Ext4, kExt4Disk);
    const std::vector<Sheet> sheets = cleanSheets(1, 10);
    const std::vector<Sheet> before(sheets.begin(), sheets.begin() + 5);
    const std::vector<Sheet> after(sheets.begin() + 5, sheets.end());
    StationRun station(sheetItems(before) + "FAULT paper jam\n" + sheetItems(after) + "END\n");
    // While the operator clears the jam, the disk fails and the kernel
    // remounts it read-only.
    station.boxes().whileOpen = [&](const SeenBox& box) {
        if (box.text == kFaultBox) {
            disk.failToReadOnly();
        }
    };
    station.initialize();
    station.startScanning();
    ASSERT_TRUE(station.waitForBoxes(kEndOfBatchBox))
        << ::testing::PrintToString(station.boxTexts());

    EXPECT_EQ(readFileBytes("Scan.TXT"), recordsOf(before));
    const std::string readOnly = std::string(kFailurePrefix) + "Permission denied";
    std::vector<std::string> expected{kFaultBox, readOnly};
    expected.insert(expected.end(), after.size() - 1,
                    std::string(kFailurePrefix) + "Bad file name or number");
    expected.emplace_back(kEndOfBatchBox);
    EXPECT_EQ(withoutSheets(station.boxTexts()), expected);

    // A new batch cannot keep the last one; Done cannot save the port. Each
    // says so, naming the file, and the program keeps running.
    station.startScanning();
    EXPECT_TRUE(station.waitForBoxes(readOnly + ": ScanArchive", 1, kStepDeadline));
    EXPECT_EQ(station.window().statusText(), kBatchNotStarted);
    station.done();
    EXPECT_TRUE(station.waitForBoxes(readOnly + ": Com.TXT", 1, kStepDeadline));
    EXPECT_FALSE(station.ended());
    EXPECT_EQ(readFileBytes("Scan.TXT"), recordsOf(before)) << "the records written stay";
}

}  // namespace
}  // namespace scanforms::testing
