// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include <filesystem>

#include "station/station_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;

constexpr char kEndBox[] = "box:64|Press scanner END button.|Press the END button on your scanner.";

class Done : public StationFixture {
protected:
    void recordOneSheet() {
        startRun();
        scanner.raiseSheetRead(sheet("000001", "A"));
    }
};

TEST_F(Done, SavesPortAndFlagAfterTheBoxAndEnds) {
    choosePort(1);
    recordOneSheet();
    view.onBox = [&](const std::string&) {
        // The record file is closed before the box; nothing is saved yet.
        EXPECT_FALSE(dir.heldOpen("Scan.TXT"));
        EXPECT_FALSE(dir.exists("com.TXT"));
    };
    log.clear();
    station.onDoneClicked();
    EXPECT_EQ(log, (Strings{kEndBox, "scanner:closePort", "end"}));
    EXPECT_EQ(dir.read("com.TXT"), "2\r\n");
    EXPECT_EQ(dir.read("FormsFlag.TXT"), "1\r\n");
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001", "A"));
    EXPECT_TRUE(station.ended());
}

TEST_F(Done, WithoutRecordsKeepsAnOldFlagFileAlsoWhenTheStationWasReady) {
    dir.write("FormsFlag.TXT", "7\r\n");
    choosePort(3);
    makeReady();
    station.onDoneClicked();
    EXPECT_EQ(dir.read("com.TXT"), "4\r\n");
    EXPECT_EQ(dir.read("FormsFlag.TXT"), "7\r\n");
    EXPECT_TRUE(view.ended);
}

TEST_F(Done, WithoutChosenPortStoresZero) {
    station.onDoneClicked();
    EXPECT_EQ(dir.read("com.TXT"), "0\r\n");
    EXPECT_FALSE(dir.exists("FormsFlag.TXT"));
}

TEST_F(Done, NothingRunsAfterDone) {
    station.onDoneClicked();
    log.clear();
    station.onWindowDestroyed();
    scanner.raiseSheetRead(sheet("000009"));
    station.onStartScanningClicked();
    EXPECT_EQ(log, Strings{});
}

// The failure report of Done closes no file and keeps the program running;
// pressing Done again repeats every step.
TEST_F(Done, FailureIsReportedOnceAndDoneCanBePressedAgain) {
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> breakIt;
        std::string failure;
        bool portClosed;
    };
    const Case cases[] = {
        {"directory removed", [](const TempDir& d) { std::filesystem::remove_all(d.path()); },
         "Path not found: com.TXT", false},
        {"port file is a directory",
         [](const TempDir& d) { std::filesystem::create_directory(d.path() / "Com.TXT"); },
         "Path/File access error: Com.TXT", false},
        {"disk full writing the port file",
         [](const TempDir& d) {
             std::filesystem::create_symlink("/dev/full", d.path() / "COM.TXT");
         },
         "Disk full: COM.TXT", false},
        {"flag file cannot be written",
         [](const TempDir& d) { std::filesystem::create_directory(d.path() / "FormsFlag.TXT"); },
         "Path/File access error: FormsFlag.TXT", true},
    };
    for (const Case& c : cases) {
        RecordedStation run;
        auto fresh = std::make_unique<TempDir>();
        run.choosePort(0);
        run.startRun();
        run.scanner.raiseSheetRead(sheet("000001"));
        c.breakIt(*fresh);
        run.log.clear();
        run.station.onDoneClicked();
        EXPECT_EQ(run.view.boxes.back(), "64||You have encountered error " + c.failure) << c.what;
        EXPECT_FALSE(run.station.ended()) << c.what;
        EXPECT_FALSE(run.view.ended) << c.what;
        EXPECT_EQ(run.scanner.open, !c.portClosed) << c.what;
        const std::size_t boxes = run.view.boxes.size();
        run.station.onDoneClicked();
        EXPECT_EQ(run.view.boxes.size(), boxes + 2) << c.what << ": END box and failure again";
        fresh.reset();
    }
}

TEST_F(Done, SecondPressAfterTheFaultIsMendedEndsTheProgram) {
    std::filesystem::create_directory(dir.path() / "com.TXT");
    choosePort(1);
    station.onDoneClicked();
    ASSERT_FALSE(view.ended);
    std::filesystem::remove(dir.path() / "com.TXT");
    station.onDoneClicked();
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(dir.read("com.TXT"), "2\r\n");
    EXPECT_EQ(entries("box:64|Press scanner END button.").size(), 2u);
}

TEST_F(Done, CloseBoxRunsTerminationOnceAndSavesNothing) {
    choosePort(1);
    recordOneSheet();
    log.clear();
    station.onWindowDestroyed();
    station.onWindowDestroyed();
    EXPECT_EQ(log, (Strings{"scanner:closePort", "status:Closed"}));
    EXPECT_FALSE(dir.heldOpen("Scan.TXT"));
    EXPECT_FALSE(dir.exists("com.TXT"));
    EXPECT_FALSE(dir.exists("FormsFlag.TXT"));
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001", "A"));
}

// Each sheet the scanner pulled and no event told of is named where scanning
// stops: the log names each, and so does one box, which also says when one
// more may be on its way.
TEST_F(Done, WhereScanningStopsEverySheetHeldOrComingInIsNamed) {
    using InFlight = HeldInput::InFlight;
    const std::string coming = sheet("777123").substr(0, 100);
    const std::string tooShort = coming.substr(0, 15);
    enum Stop { DonePressed, PortClicked, CloseBox, Destroyed };
    struct Case {
        Stop stop;
        HeldInput held;
        std::string box;
        Strings logLines;
    };
    const std::string onItsWay =
        "sheet may be on its way from the scanner: check its output tray, "
        "and scan again any sheet there that is not in Scan.TXT.";
    const Case cases[] = {
        {DonePressed,
         {{}, InFlight::PartialFrame, coming},
         "Sheet 777123 was read after Done and is not in Scan.TXT. It must be scanned again.",
         {"sheet 777123 partly read after Done: not in Scan.TXT, scan it again"}},
        {DonePressed,
         {{}, InFlight::PartialFrame, tooShort},
         "A " + onItsWay,
         {"a sheet may have been pulled after Done: check the output tray"}},
        {PortClicked,
         {{}, InFlight::PartialFrame, coming},
         "Scanning stopped: another port was chosen. Sheet 777123 was read and is not in "
         "Scan.TXT. It must be scanned again.",
         {"sheet 777123 partly read as another port was chosen: not in Scan.TXT, scan it again"}},
        {PortClicked,
         {{}, InFlight::ReadUnanswered, ""},
         "Scanning stopped: another port was chosen. A " + onItsWay,
         {"a sheet may have been pulled as another port was chosen: check the output tray"}},
        {PortClicked, {}, "", {}},
        {CloseBox,
         {{sheet("000009")}, InFlight::PartialFrame, tooShort},
         "Scanning stopped: the window is closing. Sheet 000009 was read and is not in Scan.TXT. "
         "It must be scanned again. Another " +
             onItsWay,
         {"sheet 000009 read as the window closed: not in Scan.TXT, scan it again",
          "a sheet may have been pulled as the window closed: check the output tray"}},
        {CloseBox, {}, "", {}},
        {Destroyed,
         {{sheet("000009")}, InFlight::Nothing, ""},
         "",
         {"sheet 000009 read as the window closed: not in Scan.TXT, scan it again"}},
    };
    for (const Case& c : cases) {
        TempDir fresh;
        RecordedStation run;
        run.choosePort(0);
        run.startRun();
        run.scanner.held = c.held;
        const std::size_t boxesBefore = run.view.boxes.size();
        switch (c.stop) {
            case DonePressed:
                run.station.onDoneClicked();
                break;
            case PortClicked:
                run.choosePort(1);
                break;
            case CloseBox:
                run.station.onCloseBoxClicked();
                break;
            case Destroyed:
                run.station.onWindowDestroyed();
                break;
        }
        const Strings boxes(run.view.boxes.begin() + static_cast<std::ptrdiff_t>(boxesBefore),
                            run.view.boxes.end());
        const Strings named = c.box.empty() ? Strings{} : Strings{"48||" + c.box};
        EXPECT_EQ(c.stop == DonePressed ? Strings(boxes.begin() + 1, boxes.end()) : boxes, named)
            << c.box;
        Strings logged = run.view.logLines;
        std::erase_if(logged, [](const std::string& line) {
            return !line.ends_with("scan it again") && !line.ends_with("output tray");
        });
        EXPECT_EQ(logged, c.logLines) << c.box;
        EXPECT_EQ(run.entries("scanner:closePort").size(),
                  c.stop == CloseBox && c.box.empty() ? 0u : 1u)
            << c.box;
    }
}

TEST_F(Done, TerminationStopsSilentlyAtAFailure) {
    scanner.failing["closePort"] = "Port is gone";
    station.onWindowDestroyed();
    EXPECT_EQ(log, Strings{"scanner:closePort"});
    EXPECT_TRUE(view.boxes.empty());
}

}  // namespace
}  // namespace scanforms::testing
