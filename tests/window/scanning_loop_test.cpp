#include <filesystem>

#include "window/scan_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;

class ScanningLoop : public ScanFixture {
protected:
    void startRun() {
        scan.OKFlag = 1;
        scan.StartScan_Click();
        log.clear();
    }
};

TEST_F(ScanningLoop, StartScanningNeedsReadinessFlagOfOne) {
    struct Case {
        std::optional<std::int16_t> flag;
        bool starts;
    };
    for (const Case& c : {Case{std::nullopt, false}, Case{0, false}, Case{1, true}}) {
        TempDir fresh;
        log.clear();
        scan.OKFlag = c.flag;
        scan.StartScan_Click();
        if (c.starts) {
            EXPECT_EQ(log, (Strings{"status:Start feeding your answer sheets.",
                                    "comm:SendCommand(READ)"}));
            EXPECT_TRUE(fresh.exists("Scan.TXT"));
        } else {
            EXPECT_EQ(log, (Strings{"status:Please initialize the scanner first."}));
            EXPECT_FALSE(fresh.exists("Scan.TXT"));
        }
    }
}

TEST_F(ScanningLoop, CleanSheetIsRecordedShownAndAnsweredWithOneRead) {
    startRun();
    comm.raiseSheetRead(sheet("004217", "AD@PH"));
    const std::string decoded = "004217XYZAC ED" + std::string(195, ' ');
    EXPECT_EQ(log, (Strings{"label1:The scanner read....", "status:" + decoded,
                            "comm:SendCommand(Read)"}));
    EXPECT_EQ(dir.read("Scan.TXT"), record("004217", "AC ED"));
    EXPECT_EQ(scan.resp, decoded);
    EXPECT_EQ(scan.outrec, decoded);
    EXPECT_EQ(scan.strOutID, "004217");
    EXPECT_EQ(scan.FormsFlag, 1);
    EXPECT_EQ(scan.I, 210);
    EXPECT_EQ(scan.Bite, "@");
    EXPECT_EQ(scan.b, " ");
}

TEST_F(ScanningLoop, RejectedSheetGivesOneWarningThenOneRead) {
    startRun();
    comm.raiseSheetRead(sheet("000001", "A"));
    log.clear();
    comm.raiseSheetRead(sheet("000002", "ABC@@@@@@@@@@@@@@@a"));
    EXPECT_EQ(log,
              (Strings{"label1:The scanner read....", "beep", "beep",
                       "box:48|Warning!|Multiple marks at position(s):   3,  19,  "
                       "Re-scan the form.",
                       "status:000002XYZAB?" + std::string(15, ' ') + "?" + std::string(181, ' '),
                       "comm:SendCommand(Read)"}));
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001", "A"));
    EXPECT_EQ(scan.strOutID, "000001");
}

TEST_F(ScanningLoop, ShortResponseIsRejectedAndNothingWritten) {
    startRun();
    comm.raiseSheetRead("short");
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].rfind("48|Warning!|Multiple marks at position(s):   1,  2,  3, ", 0),
              0u);
    EXPECT_EQ(dir.read("Scan.TXT"), "");
    EXPECT_EQ(scan.FormsFlag, 0);
    EXPECT_EQ(scan.I, 201);
}

TEST_F(ScanningLoop, EmptyResponseHaltsTheLoop) {
    startRun();
    view.status = "before";
    comm.raiseSheetRead("");
    EXPECT_EQ(log, (Strings{"box:64||Read error."}));
    EXPECT_EQ(view.status, "before");
    EXPECT_EQ(view.label1, "");
}

TEST_F(ScanningLoop, StartScanningAgainEmptiesTheRecordFile) {
    startRun();
    comm.raiseSheetRead(sheet("000001"));
    comm.raiseEndOfBatch();
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001"));
    EXPECT_EQ(view.boxes, (Strings{"0||End of Batch"}));
    scan.StartScan_Click();
    EXPECT_EQ(dir.read("Scan.TXT"), "");
    EXPECT_EQ(commands(), (Strings{"comm:SendCommand(Read)", "comm:SendCommand(READ)"}));
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
        comm.raiseNotice(c.text);
        Strings expected{"status:" + c.text};
        if (c.read20) {
            expected.push_back("comm:SendCommand(Read 20)");
        }
        EXPECT_EQ(log, expected) << c.text;
    }
}

TEST_F(ScanningLoop, FaultBeepsWarnsRecoversAndReadsInThisOrder) {
    startRun();
    comm.raiseScanFault();
    EXPECT_EQ(log,
              (Strings{"beep", "box:0||Scanning error occurred or scanner timeout.  Try again.",
                       "comm:Recover", "comm:SendCommand(Read)"}));
}

TEST_F(ScanningLoop, FailureInUntrappedHandlerIsReportedAndRecordingGoesOn) {
    startRun();
    comm.failing["Recover"] = "Port is not open";
    comm.raiseScanFault();
    EXPECT_EQ(view.boxes.back(), "64||You have encountered error Port is not open");
    EXPECT_EQ(commands(), Strings{});
    comm.failing.clear();
    comm.raiseSheetRead(sheet("000007"));
    EXPECT_EQ(dir.read("Scan.TXT"), record("000007"));
}

TEST_F(ScanningLoop, AfterCloseAllEveryCleanSheetReportsFailedWrite) {
    startRun();
    comm.failing["SendCommand"] = "Port is not open";
    comm.raiseSheetRead(sheet("000001"));
    EXPECT_EQ(view.boxes, (Strings{"64||You have encountered error Port is not open"}));
    comm.failing.clear();
    for (const char* id : {"000002", "000003"}) {
        log.clear();
        comm.raiseSheetRead(sheet(id));
        EXPECT_EQ(log, (Strings{"label1:The scanner read....",
                                "box:64||You have encountered error Bad file name or number",
                                "status:" + std::string(id) + "XYZ" + std::string(200, ' '),
                                "comm:SendCommand(Read)"}));
    }
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001"));
    EXPECT_EQ(scan.strOutID, "000003");  // set before the write that failed
}

TEST_F(ScanningLoop, RecordFileThatCannotBeCreatedSendsNoRead) {
    std::filesystem::create_directory(dir.path() / "scan.txt");
    scan.OKFlag = 1;
    scan.StartScan_Click();
    EXPECT_EQ(log, (Strings{"status:Start feeding your answer sheets.",
                            "box:64||You have encountered error Path/File access error"}));
}

TEST_F(ScanningLoop, FullDiskIsReportedAndLoopGoesOn) {
    std::filesystem::create_symlink("/dev/full", dir.path() / "Scan.TXT");
    startRun();
    comm.raiseSheetRead(sheet("000001"));
    EXPECT_EQ(view.boxes, (Strings{"64||You have encountered error Disk full"}));
    EXPECT_EQ(scan.FormsFlag, 0);
    EXPECT_EQ(commands(), (Strings{"comm:SendCommand(Read)"}));
}

TEST_F(ScanningLoop, EventsDuringModalBoxWaitForTheRunningHandler) {
    startRun();
    bool raised = false;
    view.onBox = [&](const std::string&) {
        if (!raised) {
            raised = true;
            comm.raiseNotice("scanner busy");
            comm.raiseSheetRead(sheet("000002"));
        }
    };
    comm.raiseSheetRead(sheet("000001", "C"));  // rejected: the warning box is open
    EXPECT_EQ(log,
              (Strings{"label1:The scanner read....", "beep", "beep",
                       "box:48|Warning!|Multiple marks at position(s):   1,  Re-scan the form.",
                       "status:000001XYZ?" + std::string(199, ' '), "comm:SendCommand(Read)",
                       "status:scanner busy", "label1:The scanner read....",
                       "status:000002XYZ" + std::string(200, ' '), "comm:SendCommand(Read)"}));
    EXPECT_EQ(dir.read("Scan.TXT"), record("000002"));
}

}  // namespace
}  // namespace scanforms::testing
