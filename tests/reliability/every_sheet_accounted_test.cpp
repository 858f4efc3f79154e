// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Wherever a batch stops, each sheet the scanner pulled is in Scan.TXT or
// named to be scanned again, and records that leave Scan.TXT are told of.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <functional>

#include "fakes/temp_dir.h"
#include "scratch_mount.h"
#include "sheet_batch.h"
#include "station_run.h"
#include "wire/wire_protocol.h"

namespace scanforms::testing {
namespace {

using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

std::string idOf(const Sheet& sheet) {
    return sheet.response.substr(10, 6);
}
std::size_t records() {
    return recordLines(readFileBytes("Scan.TXT")).size();
}
std::string failure(const std::string& description) {
    return kFailurePrefix + description;
}
void startAndReachThreeRecords(StationRun& station) {
    station.initialize();
    station.startScanning();
    ASSERT_TRUE(waitFor([] { return records() >= 3; }, kBatchDeadline));
}

TEST(EverySheetAccounted, SheetReadWhileTheDoneBoxIsOpenIsNamed) {
    TempDir folder;
    const std::vector<Sheet> sheets = cleanSheets(1, 10);
    StationRun station(sheetItems(sheets), LinePace::WireSpeed);
    station.boxes().whileOpen = [&](const SeenBox& box) {  // the pulled sheet comes in whole
        if (box.text == "Press the END button on your scanner.") {
            waitFor([&] { return !station.comm().heldInput().sheets.empty(); });
        }
    };
    startAndReachThreeRecords(station);
    station.done();
    ASSERT_TRUE(waitFor([&] { return station.ended(); }));
    EXPECT_EQ(station.boxTexts().back(), "Sheet " + idOf(sheets.at(records())) +
                                             " was read after Done and is not in Scan.TXT. It "
                                             "must be scanned again.");
    EXPECT_EQ(station.sim().logLines().size(), 2 + records()) << "setup, READ, Read per record";
}

// Wherever the operator stops the batch while a sheet is half on the line,
// at wire speed, that sheet is named on screen by its identifier.
TEST(EverySheetAccounted, ASheetHalfOnTheLineIsNamedWhereverTheBatchStops) {
    const std::vector<std::pair<std::function<void(StationRun&)>, std::string>> stops = {
        {[](StationRun& s) { s.done(); }, " was read after Done and is not in Scan.TXT."},
        {[](StationRun& s) {
             QTest::mouseClick(s.window().findChild<QAbstractButton*>("Port_1"), Qt::LeftButton);
         },
         " was read and is not in Scan.TXT."},
        {[](StationRun& s) { s.window().close(); }, " was read and is not in Scan.TXT."},
    };
    for (const auto& [stop, named] : stops) {
        TempDir folder;
        const std::vector<Sheet> sheets = cleanSheets(1, 10);
        StationRun station(sheetItems(sheets), LinePace::WireSpeed);
        startAndReachThreeRecords(station);
        ASSERT_TRUE(waitFor([&] { return station.comm().heldInput().partialSheet.size() > 16; }));
        stop(station);
        const std::string id = idOf(sheets.at(records()));
        ASSERT_FALSE(station.boxTexts().empty());
        EXPECT_NE(station.boxTexts().back().find("Sheet " + id + named), std::string::npos)
            << station.boxTexts().back();
    }
}

// Line noise holding a frame header right before a sheet costs no sheet: it
// is recorded, and the scanner is asked for one sheet at a time.
TEST(EverySheetAccounted, NoiseWithAFrameStartBeforeASheetCostsNoSheet) {
    TempDir folder;
    const std::vector<Sheet> sheets = cleanSheets(100, 3);
    const std::string sheetFrame =
        wire::encodeFrame({wire::FrameType::Sheet, sheets[0].response, 0});
    StationRun station("RAW " + scriptText("\x02S9:" + sheetFrame) + "\n" +
                       sheetItems({sheets[1], sheets[2]}) + "END\n");
    station.initialize();
    station.startScanning();
    ASSERT_TRUE(station.waitForBoxes(kEndOfBatchBox));
    EXPECT_EQ(readFileBytes("Scan.TXT"), recordsOf(sheets));
    EXPECT_LE(station.boxCount(kFaultBox), 1u);
    EXPECT_EQ(station.sim().logLines(), (Texts{"f-3652.800", "READ", "Read", "Read", "Read"}));
}

TEST(EverySheetAccounted, DiskFillingUpNamesEveryLostSheet) {
    ScratchMount disk(ScratchMount::Kind::Tmpfs, 3 * 4096);
    const std::vector<Sheet> sheets = cleanSheets(1, 42);
    StationRun station(sheetItems(sheets) + "END\n");
    station.initialize();
    station.startScanning();
    ASSERT_TRUE(station.waitForBoxes(kEndOfBatchBox));
    Texts expected;
    for (std::size_t lost = records(); lost < sheets.size(); ++lost) {
        expected.push_back(failure(expected.empty() ? "Disk full: sheet "
                                                    : "Bad file name or number: Scan.TXT is "
                                                      "closed, sheet ") +
                           idOf(sheets[lost]) + " was not recorded");
    }
    expected.emplace_back(kEndOfBatchBox);
    EXPECT_EQ(station.boxTexts(), expected);
}

TEST(EverySheetAccounted, SecondStartScanningTellsWhereTheRecordsSoFarWent) {
    TempDir folder;
    const std::vector<Sheet> sheets = cleanSheets(1, 10);
    StationRun station(sheetItems(sheets) + "END\n", LinePace::WireSpeed);
    startAndReachThreeRecords(station);
    station.startScanning();
    ASSERT_TRUE(station.waitForBoxes(kEndOfBatchBox));
    const fs::path kept = fs::directory_iterator("ScanArchive")->path();
    const std::string archived = readFileBytes(kept);
    EXPECT_EQ(station.boxTexts(),
              (Texts{"The " + std::to_string(archived.size() / kRecordBytes) +
                         " sheets recorded so far were kept in ScanArchive/" +
                         kept.filename().string() + ". Scan.TXT starts empty for this batch.",
                     kEndOfBatchBox}));
    EXPECT_EQ(archived + readFileBytes("Scan.TXT"), recordsOf(sheets)) << "each record once";
}

TEST(EverySheetAccounted, StartScanningWithTheScannerGoneLeavesTheFilesAsTheyWere) {
    TempDir folder;
    const std::vector<Sheet> sheets = cleanSheets(1, 3);
    StationRun station(sheetItems(sheets));
    startAndReachThreeRecords(station);
    station.sim().stop(SIGTERM);  // the cable pulled for good
    ASSERT_TRUE(station.waitForBoxes(failure("Scanner is not connected")));
    station.startScanning();
    ASSERT_TRUE(station.waitForBoxes(failure("Scanner is not connected"), 2));
    EXPECT_EQ(station.window().statusText(), "Please initialize the scanner first.");
    EXPECT_EQ(readFileBytes("Scan.TXT"), recordsOf(sheets));
    EXPECT_FALSE(folder.exists("ScanArchive"));
}

}  // namespace
}  // namespace scanforms::testing
