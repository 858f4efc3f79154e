// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The scanner's device goes away in the middle of a batch (a USB adapter
// pulled out) and comes back a second later: the operator sees one fault
// box, dismisses it once the scanner is back, and the batch goes on through
// the normal fault path (RECOVER, Read) with no record lost or doubled.

#include <gtest/gtest.h>

#include <QSerialPort>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "fakes/temp_dir.h"
#include "sheet_batch.h"
#include "station_run.h"

namespace scanforms::testing {
namespace {

constexpr std::chrono::milliseconds kDevicePoll{10};

TEST(DeviceHangup, VanishesMidBatchAndComesBack) {
    TempDir folder;
    const std::vector<Sheet> sheets = cleanSheets(1, 20);
    const std::vector<Sheet> before(sheets.begin(), sheets.begin() + 10);
    const std::vector<Sheet> after(sheets.begin() + 10, sheets.end());
    StationRun station(sheetItems(before) + "HANGUP\n" + sheetItems(after) + "END\n");
    // The operator answers the fault box once the scanner is plugged in again
    // (the simulator prints the new device's path when it is there).
    bool deviceBackBeforeAnswer = false;
    station.boxes().whileOpen = [&](const SeenBox& box) {
        if (box.text != kFaultBox) {
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + kStepDeadline;
        while (station.sim().paths().size() < 2 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(kDevicePoll);
        }
        deviceBackBeforeAnswer = station.sim().paths().size() >= 2;
    };
    station.initialize();
    station.startScanning();
    ASSERT_TRUE(station.waitForBoxes(kEndOfBatchBox))
        << ::testing::PrintToString(station.boxTexts());

    EXPECT_TRUE(deviceBackBeforeAnswer);
    EXPECT_EQ(station.boxTexts(), (std::vector<std::string>{kFaultBox, kEndOfBatchBox}));
    std::vector<std::string> log{"f-3652.800", "READ"};
    log.insert(log.end(), before.size(), "Read");  // the last one is lost with the device
    log.emplace_back("RECOVER");
    log.emplace_back("Read");
    log.insert(log.end(), after.size(), "Read");
    EXPECT_EQ(station.sim().logLines(), log);
    EXPECT_EQ(folder.read("Scan.TXT"), recordsOf(sheets));
}

// The cable blips while the "Warning!" box of a rejected sheet is open: the
// port reports the loss, the device is there again by the time the operator
// answers. The read that follows the warning waits for the fault's answer
// (box, RECOVER, Read) instead of failing, and the rest of the batch is
// recorded.
TEST(DeviceHangup, BlipWhileTheWarningIsOpenLeavesTheBatchRecording) {
    TempDir folder;
    const std::vector<Sheet> sheets = cleanSheets(1, 3);
    std::string doubtful = sheets[1].response;
    doubtful[30] = 'C';  // two bubbles at once
    StationRun station(sheetItems({sheets[0]}) + "SHEET " + scriptText(doubtful) + "\n" +
                       sheetItems({sheets[1], sheets[2]}) + "END\n");
    station.boxes().whileOpen = [&](const SeenBox& box) {
        if (box.title == "Warning!") {
            auto* port = station.comm().findChild<QSerialPort*>();
            ASSERT_NE(port, nullptr);
            emit port->errorOccurred(QSerialPort::ResourceError);
        }
    };
    station.initialize();
    station.startScanning();
    ASSERT_TRUE(station.waitForBoxes(kEndOfBatchBox))
        << ::testing::PrintToString(station.boxTexts());

    ASSERT_EQ(station.boxTexts().size(), 3u);
    EXPECT_EQ(station.boxTexts()[1], kFaultBox);
    EXPECT_EQ(station.sim().logLines(),
              (std::vector<std::string>{"f-3652.800", "READ", "Read", "RECOVER", "Read", "Read",
                                        "Read"}));
    EXPECT_EQ(folder.read("Scan.TXT"), recordsOf(sheets));
}

}  // namespace
}  // namespace scanforms::testing
