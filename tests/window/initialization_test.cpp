#include "window/scan_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;
using Flag = std::optional<std::int16_t>;

class Initialization : public ScanFixture {};

// Every row: the readiness flag before, whether the port opens, what the
// scanner answers; the flag and status line after.
TEST_F(Initialization, ReadinessFlagAndStatusLine) {
    constexpr char kOpened[] = "Comm Port opened OK. Initializing Scanner...";
    constexpr char kOpenFailed[] = "Comm Port open failed.  Please select a different Comm Port.";
    constexpr char kReady[] =
        "OK to scan forms.  Click the Start Scanning button when you are ready.";
    constexpr char kNotDetected[] = "Scanner not detected.  Check the power and cable.";
    struct Case {
        Flag before;
        bool opens;
        std::optional<std::int16_t> answer;  // InitComplete result, if any
        std::string diagnostic;
        Flag after;
        std::string status;
    };
    const Case cases[] = {
        {std::nullopt, true, std::nullopt, "", 1, kOpened},
        {std::nullopt, false, std::nullopt, "", std::nullopt, kOpenFailed},
        {1, false, std::nullopt, "", 1, kOpenFailed},
        {0, false, std::nullopt, "", 0, kOpenFailed},
        {std::nullopt, true, 1, "", 1, kReady},
        {std::nullopt, true, -1, "", 1, kReady},
        {std::nullopt, false, 1, "", std::nullopt, kReady},
        {std::nullopt, true, 0, "", 0, kNotDetected},
        {std::nullopt, true, 0, "E17 no paper. ", 0, std::string("E17 no paper. ") + kNotDetected},
        {1, false, 0, "", 0, kNotDetected},
    };
    for (const Case& c : cases) {
        log.clear();
        scan.OKFlag = c.before;
        comm.opens = c.opens;
        scan.InitializeScanner_Click();
        if (c.answer) {
            comm.raiseInitComplete(*c.answer, c.diagnostic);
        }
        EXPECT_EQ(scan.OKFlag, c.after) << log.front();
        EXPECT_EQ(view.status, c.status);
        EXPECT_EQ(view.prompt,
                  "Press the red End of Batch button on the scanner when you are done.");
        EXPECT_TRUE(view.boxes.empty());
    }
}

TEST_F(Initialization, StepsInOrderAndSetupSentAlsoWhenPortStaysClosed) {
    for (bool opens : {true, false}) {
        log.clear();
        comm.opens = opens;
        scan.com = 3;
        scan.InitializeScanner_Click();
        const std::string status = opens ? "status:Comm Port opened OK. Initializing Scanner..."
                                         : "status:Comm Port open failed.  Please select a "
                                           "different Comm Port.";
        EXPECT_EQ(log, (Strings{"prompt:Press the red End of Batch button on the scanner when "
                                "you are done.",
                                "comm:PortNumber(3)", "comm:PortOpen(True)", "comm:PortOpen?",
                                status, "comm:SetupScanner(f-3652.800)"}));
    }
}

TEST_F(Initialization, NoPortChosenPassesZeroUnchanged) {
    scan.InitializeScanner_Click();
    EXPECT_EQ(comm.portNumber, 0);
}

TEST_F(Initialization, ComponentFailureSkipsLaterStepsAndClosesFiles) {
    struct Case {
        std::string member;
        Flag flag;
        std::string status;
        bool setupSent;
    };
    const Case cases[] = {
        {"PortNumber", std::nullopt, "", false},
        {"PortOpen", std::nullopt, "", false},
        {"SetupScanner", 1, "Comm Port opened OK. Initializing Scanner...", true},
    };
    for (const Case& c : cases) {
        TempDir fresh;
        scan.OKFlag = 1;
        scan.StartScan_Click();
        scan.OKFlag.reset();
        view.status.clear();
        view.boxes.clear();
        log.clear();
        comm.failing = {{c.member, "Port number 0 is not a serial port"}};
        scan.InitializeScanner_Click();
        EXPECT_EQ(view.boxes,
                  Strings{"64||You have encountered error Port number 0 is not a serial port"});
        EXPECT_EQ(scan.OKFlag, c.flag) << c.member;
        EXPECT_EQ(view.status, c.status) << c.member;
        EXPECT_EQ(entries("comm:SetupScanner").size(), c.setupSent ? 1u : 0u) << c.member;
        EXPECT_FALSE(scan.files().isOpen(1)) << c.member;
        comm.failing.clear();
    }
}

TEST_F(Initialization, StartScanningAcceptedBeforeScannerAnswers) {
    scan.InitializeScanner_Click();
    scan.StartScan_Click();
    EXPECT_EQ(view.status, "Start feeding your answer sheets.");
    EXPECT_EQ(commands(), Strings{"comm:SendCommand(READ)"});
}

TEST_F(Initialization, PortChoiceClosesPortAndKeepsReadiness) {
    scan.InitializeScanner_Click();
    view.selectPort(3);
    log.clear();
    scan.Port_Click(3);
    EXPECT_EQ(log, Strings{"comm:PortOpen(False)"});
    EXPECT_EQ(scan.com, 4);
    EXPECT_EQ(scan.OKFlag, 1);
    EXPECT_FALSE(comm.open);
}

}  // namespace
}  // namespace scanforms::testing
