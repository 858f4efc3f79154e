// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include <filesystem>
#include <set>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "station/operator_texts.h"
#include "station/station_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;

class ScanningLoop : public StationFixture {};

TEST_F(ScanningLoop, StartScanningNeedsAReadyStation) {
    struct Case {
        Readiness readiness;
        bool starts;
    };
    for (const Case& c : {Case{Readiness::Fresh, false}, Case{Readiness::NotDetected, false},
                          Case{Readiness::Ready, true}}) {
        TempDir fresh;
        RecordedStation run;
        run.reach(c.readiness);
        run.log.clear();
        run.station.onStartScanningClicked();
        if (c.starts) {
            EXPECT_EQ(run.log, (Strings{"status:Start feeding your answer sheets.",
                                        "scanner:sendCommand(READ)"}));
            EXPECT_TRUE(fresh.exists("Scan.TXT"));
        } else {
            EXPECT_EQ(run.log, (Strings{"status:Please initialize the scanner first."}));
            EXPECT_FALSE(fresh.exists("Scan.TXT"));
        }
    }
}

TEST_F(ScanningLoop, CleanSheetIsRecordedShownAndAnsweredWithOneRead) {
    startRun();
    scanner.raiseSheetRead(sheet("004217", "AD@PH"));
    const std::string decoded = "004217XYZAC ED" + std::string(195, ' ');
    EXPECT_EQ(log, (Strings{"label1:The scanner read....", "status:" + decoded,
                            "scanner:sendCommand(Read)"}));
    EXPECT_EQ(dir.read("Scan.TXT"), record("004217", "AC ED"));
    station.onDoneClicked();
    EXPECT_EQ(dir.read("FormsFlag.TXT"), "1\r\n");
}

TEST_F(ScanningLoop, RejectedSheetGivesOneWarningThenOneRead) {
    startRun();
    scanner.raiseSheetRead(sheet("000001", "A"));
    log.clear();
    scanner.raiseSheetRead(sheet("000002", "ABC@@@@@@@@@@@@@@@a"));
    EXPECT_EQ(log,
              (Strings{"label1:The scanner read....", "beep", "beep",
                       "box:48|Warning!|Multiple marks at position(s):   3,  19,  "
                       "Re-scan the form.",
                       "status:000002XYZAB?" + std::string(15, ' ') + "?" + std::string(181, ' '),
                       "scanner:sendCommand(Read)"}));
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001", "A"));
}

TEST_F(ScanningLoop, ShortResponseIsRejectedAndNothingWritten) {
    startRun();
    scanner.raiseSheetRead("short");
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].rfind("48|Warning!|Multiple marks at position(s):   1,  2,  3, ", 0),
              0u);
    EXPECT_EQ(dir.read("Scan.TXT"), "");
    station.onDoneClicked();
    EXPECT_FALSE(dir.exists("FormsFlag.TXT"));
}

TEST_F(ScanningLoop, EmptyResponseHaltsTheLoop) {
    startRun();
    view.status = "before";
    scanner.raiseSheetRead("");
    EXPECT_EQ(log, (Strings{"box:64||Read error."}));
    EXPECT_EQ(view.status, "before");
    EXPECT_EQ(view.label1, "");
}

// Start Scanning empties Scan.TXT, but only once its batch is kept, byte for
// byte, in a new file of ScanArchive.
TEST_F(ScanningLoop, StartScanningAgainKeepsTheLastBatchThenEmptiesTheRecordFile) {
    startRun();
    scanner.raiseSheetRead(sheet("000001"));
    scanner.raiseEndOfBatch();
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001"));
    EXPECT_EQ(view.boxes, (Strings{"0||End of Batch"}));
    for (int press = 1; press <= 2; ++press) {
        station.onStartScanningClicked();
        EXPECT_EQ(dir.read("Scan.TXT"), "");
    }
    EXPECT_EQ(commands(), (Strings{"scanner:sendCommand(Read)", "scanner:sendCommand(READ)",
                                   "scanner:sendCommand(READ)"}));
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "ScanArchive")) {
        kept.push_back(readFileBytes(entry.path()));
    }
    EXPECT_EQ(kept, Strings{record("000001")}) << "an empty Scan.TXT is not kept";
}

TEST_F(ScanningLoop, RecordsOfAnEarlierRunAreKeptWithoutABox) {
    dir.write("Scan.TXT", record("000001"));
    startRun();
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_TRUE(dir.exists("ScanArchive"));
}

TEST_F(ScanningLoop, BatchThatCannotBeKeptIsNotEmptiedAndNoReadIsSent) {
    startRun();
    scanner.raiseSheetRead(sheet("000001"));
    dir.write("ScanArchive", "a file where the folder should be");
    log.clear();
    station.onStartScanningClicked();
    EXPECT_EQ(log, (Strings{"status:Start feeding your answer sheets.",
                            std::string("status:") + kBatchNotStarted,
                            "box:64||You have encountered error Path/File access error: "
                            "ScanArchive is not a folder"}));
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001"));
}

// Someone tidying the folder mid-batch: the next sheet's record fails
// aloud instead of going into a file nobody will find.
TEST_F(ScanningLoop, RecordFileRemovedMidBatchFailsTheNextRecord) {
    startRun();
    scanner.raiseSheetRead(sheet("000001"));
    std::filesystem::remove(dir.path() / "Scan.TXT");
    scanner.raiseSheetRead(sheet("000002"));
    EXPECT_EQ(view.boxes, Strings{"64||You have encountered error Scan.TXT was removed or "
                                  "replaced: sheet 000002 was not recorded"});
    EXPECT_FALSE(dir.exists("Scan.TXT"));
    station.onDoneClicked();
    EXPECT_EQ(dir.read("FormsFlag.TXT"), "1\r\n") << "a record was written before";
}

TEST_F(ScanningLoop, NoticeShowsTextAndAsksForReadOnQuoteInSecondPlace) {
    struct Case {
        std::string text;
        bool read20;
    };
    const Case cases[] = {
        {"A\"B", true},
        {"\"\"", true},
        {"\"AB", false},
        {"AB", false},
        {"x", false},
        {"", false},
        {std::string("\0\"", 2), true},
    };
    for (const Case& c : cases) {
        log.clear();
        scanner.raiseNotice(c.text);
        Strings expected{"status:" + c.text};
        if (c.read20) {
            expected.push_back("scanner:sendCommand(Read 20)");
        }
        EXPECT_EQ(log, expected) << c.text;
    }
}

TEST_F(ScanningLoop, FaultBeepsWarnsRecoversAndReadsInThisOrder) {
    startRun();
    scanner.raiseScanFault();
    EXPECT_EQ(log,
              (Strings{"beep", "box:0||Scanning error occurred or scanner timeout.  Try again.",
                       "scanner:recover", "scanner:sendCommand(Read)"}));
}

TEST_F(ScanningLoop, FailureInUntrappedHandlerIsReportedAndRecordingGoesOn) {
    startRun();
    scanner.failing["recover"] = "Port is not open";
    scanner.raiseScanFault();
    EXPECT_EQ(view.boxes.back(), "64||You have encountered error Port is not open");
    EXPECT_EQ(commands(), Strings{});
    scanner.failing.clear();
    scanner.raiseSheetRead(sheet("000007"));
    EXPECT_EQ(dir.read("Scan.TXT"), record("000007"));
}

TEST_F(ScanningLoop, AfterCloseAllEveryCleanSheetReportsFailedWrite) {
    startRun();
    scanner.failing["sendCommand"] = "Port is not open";
    scanner.raiseSheetRead(sheet("000001"));
    EXPECT_EQ(view.boxes, (Strings{"64||You have encountered error Port is not open"}));
    scanner.failing.clear();
    for (const char* id : {"000002", "000003"}) {
        log.clear();
        scanner.raiseSheetRead(sheet(id));
        EXPECT_EQ(log, (Strings{"label1:The scanner read....",
                                "box:64||You have encountered error Bad file name or number: "
                                "Scan.TXT is closed, sheet " +
                                    std::string(id) + " was not recorded",
                                "status:" + std::string(id) + "XYZ" + std::string(200, ' '),
                                "scanner:sendCommand(Read)"}));
    }
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001"));
}

TEST_F(ScanningLoop, RecordFileThatCannotBeCreatedSendsNoRead) {
    std::filesystem::create_directory(dir.path() / "scan.txt");
    makeReady();
    log.clear();
    station.onStartScanningClicked();
    EXPECT_EQ(log, (Strings{"status:Start feeding your answer sheets.",
                            std::string("status:") + kBatchNotStarted,
                            "box:64||You have encountered error Path/File access error: "
                            "scan.txt"}));
}

#ifndef _WIN32
TEST_F(ScanningLoop, PipeInPlaceOfTheRecordFileIsNamed) {
    ::mkfifo((dir.path() / "Scan.TXT").c_str(), 0666);
    makeReady();
    station.onStartScanningClicked();
    EXPECT_EQ(view.boxes, Strings{"64||You have encountered error Bad file mode: Scan.TXT"});
}

// A case-insensitive share listing two spellings: both batches are kept.
TEST_F(ScanningLoop, EverySpellingOfTheRecordFileIsKeptBeforeOneIsEmptied) {
    dir.write("scan.txt", record("000001"));
    dir.write("SCAN.TXT", record("000002"));
    makeReady();
    station.onStartScanningClicked();
    std::set<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "ScanArchive")) {
        kept.insert(readFileBytes(entry.path()));
    }
    EXPECT_EQ(kept, (std::set<std::string>{record("000001"), record("000002")}));
}
#endif

TEST_F(ScanningLoop, FullDiskIsReportedAndLoopGoesOn) {
    std::filesystem::create_symlink("/dev/full", dir.path() / "Scan.TXT");
    startRun();
    scanner.raiseSheetRead(sheet("000001"));
    EXPECT_EQ(view.boxes, (Strings{"64||You have encountered error Disk full: sheet 000001 was "
                                   "not recorded"}));
    EXPECT_EQ(commands(), (Strings{"scanner:sendCommand(Read)"}));
    station.onDoneClicked();
    EXPECT_FALSE(dir.exists("FormsFlag.TXT"));
}

TEST_F(ScanningLoop, EventsDuringModalBoxWaitForTheRunningHandler) {
    startRun();
    bool raised = false;
    view.onBox = [&](const std::string&) {
        if (!raised) {
            raised = true;
            scanner.raiseNotice("scanner busy");
            scanner.raiseSheetRead(sheet("000002"));
        }
    };
    scanner.raiseSheetRead(sheet("000001", "C"));  // rejected: the warning box is open
    EXPECT_EQ(log,
              (Strings{"label1:The scanner read....", "beep", "beep",
                       "box:48|Warning!|Multiple marks at position(s):   1,  Re-scan the form.",
                       "status:000001XYZ?" + std::string(199, ' '), "scanner:sendCommand(Read)",
                       "status:scanner busy", "label1:The scanner read....",
                       "status:000002XYZ" + std::string(200, ' '), "scanner:sendCommand(Read)"}));
    EXPECT_EQ(dir.read("Scan.TXT"), record("000002"));
}

}  // namespace
}  // namespace scanforms::testing
