// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "station/station_fixture.h"

namespace scanforms::testing {
namespace {

struct FakeClaim : FolderClaim {
    std::optional<std::string> taken;
    std::function<void()> lost;
    std::optional<std::string> takenBy() override { return taken; }
    void whenLost(std::function<void()> callback) override { lost = std::move(callback); }
};

// Found before a record or by the lock's refresh, a folder another station
// took gets no further record, and Done leaves that station's files alone.
TEST(FolderClaim, ALostFolderGetsNoRecordOneBoxEachLaterSheetNamedAndNoFileAtDone) {
    for (const bool foundByRefresh : {false, true}) {
        TempDir dir;
        RecordedStation run;
        FakeClaim claim;
        run.station.watchFolder(claim);
        run.startRun();
        run.scanner.raiseSheetRead(sheet("000001"));
        claim.taken = "the computer lab-07 (process 77) took it over";
        if (foundByRefresh) {
            claim.lost();
            EXPECT_FALSE(dir.heldOpen("Scan.TXT"));
        }
        run.scanner.raiseSheetRead(sheet("000002"));
        run.scanner.raiseSheetRead(sheet("000003"));
        run.station.onDoneClicked();

        const std::vector<std::string> boxes = run.entries("box:");
        ASSERT_EQ(boxes.size(), 4u) << foundByRefresh;
        EXPECT_EQ(boxes[0], "box:48||" + folderLostBox(*claim.taken));
        EXPECT_TRUE(
            boxes[1].ends_with("This folder is no longer this station's: Scan.TXT is "
                               "closed, sheet 000002 was not recorded"));
        EXPECT_TRUE(boxes[2].ends_with("sheet 000003 was not recorded"));
        EXPECT_EQ(dir.read("Scan.TXT"), record("000001"));
        EXPECT_FALSE(dir.exists("com.TXT") || dir.exists("FormsFlag.TXT"));
        EXPECT_TRUE(run.station.ended());
    }
}

}  // namespace
}  // namespace scanforms::testing
