#include <filesystem>

#include "window/scan_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;

constexpr char kEndBox[] = "box:64|Press scanner END button.|Press the END button on your scanner.";

class Done : public ScanFixture {
protected:
    void recordOneSheet() {
        scan.OKFlag = 1;
        scan.StartScan_Click();
        comm.raiseSheetRead(sheet("000001", "A"));
    }
};

TEST_F(Done, SavesPortAndFlagAfterTheBoxAndEnds) {
    scan.com = 2;
    recordOneSheet();
    view.onBox = [&](const std::string&) {
        // The record file is closed before the box; nothing is saved yet.
        EXPECT_FALSE(scan.files().isOpen(1));
        EXPECT_FALSE(dir.exists("com.TXT"));
    };
    log.clear();
    scan.Cancel_Click();
    EXPECT_EQ(log, (Strings{kEndBox, "comm:PortOpen(False)", "end"}));
    EXPECT_EQ(dir.read("com.TXT"), "2\r\n");
    EXPECT_EQ(dir.read("FormsFlag.TXT"), "1\r\n");
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001", "A"));
    EXPECT_TRUE(scan.ended());
}

TEST_F(Done, WithoutRecordsKeepsAnOldFlagFile) {
    dir.write("FormsFlag.TXT", "7\r\n");
    scan.com = 4;
    scan.Cancel_Click();
    EXPECT_EQ(dir.read("com.TXT"), "4\r\n");
    EXPECT_EQ(dir.read("FormsFlag.TXT"), "7\r\n");
    EXPECT_TRUE(view.ended);
}

TEST_F(Done, WithoutChosenPortStoresZero) {
    scan.Cancel_Click();
    EXPECT_EQ(dir.read("com.TXT"), "0\r\n");
    EXPECT_FALSE(dir.exists("FormsFlag.TXT"));
}

TEST_F(Done, NothingRunsAfterDone) {
    scan.Cancel_Click();
    log.clear();
    scan.deliver([&] { scan.Form_Terminate(); });
    comm.raiseSheetRead(sheet("000009"));
    scan.Form_Terminate();
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
         "Path not found", false},
        {"port file is a directory",
         [](const TempDir& d) { std::filesystem::create_directory(d.path() / "Com.TXT"); },
         "Path/File access error", false},
        {"disk full writing the port file",
         [](const TempDir& d) {
             std::filesystem::create_symlink("/dev/full", d.path() / "COM.TXT");
         },
         "Disk full", false},
        {"flag file cannot be written",
         [](const TempDir& d) { std::filesystem::create_directory(d.path() / "FormsFlag.TXT"); },
         "Path/File access error", true},
    };
    for (const Case& c : cases) {
        RecordedScan recorded;
        Scan& window = recorded.scan;
        FakeView& caseView = recorded.view;
        FakeComm& caseComm = recorded.comm;
        auto fresh = std::make_unique<TempDir>();
        window.OKFlag = 1;
        window.com = 1;
        window.InitializeScanner_Click();
        window.StartScan_Click();
        caseComm.raiseSheetRead(sheet("000001"));
        c.breakIt(*fresh);
        recorded.log.clear();
        window.Cancel_Click();
        EXPECT_EQ(caseView.boxes.back(), "64||You have encountered error " + c.failure) << c.what;
        EXPECT_FALSE(window.ended()) << c.what;
        EXPECT_FALSE(caseView.ended) << c.what;
        EXPECT_EQ(caseComm.open, !c.portClosed) << c.what;
        const std::size_t boxes = caseView.boxes.size();
        window.Cancel_Click();
        EXPECT_EQ(caseView.boxes.size(), boxes + 2) << c.what << ": END box and failure again";
        fresh.reset();
    }
}

TEST_F(Done, SecondPressAfterTheFaultIsMendedEndsTheProgram) {
    std::filesystem::create_directory(dir.path() / "com.TXT");
    scan.com = 2;
    scan.Cancel_Click();
    ASSERT_FALSE(view.ended);
    std::filesystem::remove(dir.path() / "com.TXT");
    scan.Cancel_Click();
    EXPECT_TRUE(view.ended);
    EXPECT_EQ(dir.read("com.TXT"), "2\r\n");
    EXPECT_EQ(entries("box:64|Press scanner END button.").size(), 2u);
}

TEST_F(Done, CloseBoxRunsTerminationOnceAndSavesNothing) {
    scan.com = 2;
    recordOneSheet();
    log.clear();
    scan.deliver([&] { scan.Form_Terminate(); });
    scan.deliver([&] { scan.Form_Terminate(); });
    EXPECT_EQ(log, (Strings{"comm:PortOpen(False)", "status:Closed"}));
    EXPECT_FALSE(scan.files().isOpen(1));
    EXPECT_FALSE(dir.exists("com.TXT"));
    EXPECT_FALSE(dir.exists("FormsFlag.TXT"));
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001", "A"));
}

TEST_F(Done, TerminationStopsSilentlyAtAFailure) {
    comm.failing["PortOpen"] = "Port is gone";
    scan.Form_Terminate();
    EXPECT_EQ(log, Strings{"comm:PortOpen(False)"});
    EXPECT_TRUE(view.boxes.empty());
}

}  // namespace
}  // namespace scanforms::testing
