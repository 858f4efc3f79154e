// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// A picture of the window in use, for the documentation. Saved where
// SCANFORMS_SCREENSHOT names (docs/scan-window.png when regenerating it), and
// otherwise only into the test's own directory, so a test run changes no
// file of the repository:
//
//   export SCANFORMS_SCREENSHOT=$PWD/docs/scan-window.png QT_QPA_PLATFORM=offscreen
//   build/ci/tests/window/window_tests --gtest_filter='Screenshot.*'

#include <QImage>
#include <filesystem>

#include "station/station_fixture.h"
#include "window_fixture.h"

namespace scanforms::testing {
namespace {

class Screenshot : public WindowTest {};

TEST_F(Screenshot, OfTheWindowAfterOneCleanSheet) {
    const char* wanted = std::getenv("SCANFORMS_SCREENSHOT");
    const std::filesystem::path target = wanted != nullptr && *wanted != '\0'
                                             ? std::filesystem::absolute(wanted)
                                             : dir.path() / "scan-window.png";
    open("2\r\n");
    click("InitializeScanner");
    scanner.raiseInitComplete(1);
    click("StartScan");
    scanner.raiseSheetRead(sheet("004217", "ADPHB@ADHPBAAD@HHPDA"));

    control("txtProcessing")->setFocus();  // every button shows its plain face
    const QImage shot = window->grab().toImage();
    ASSERT_TRUE(shot.save(QString::fromStdString(target.string()), "PNG")) << target;
    const QImage saved(QString::fromStdString(target.string()));
    EXPECT_EQ(saved.size(), QSize(566, 535));
}

}  // namespace
}  // namespace scanforms::testing
