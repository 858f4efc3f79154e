// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "station/station_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;
class Initialization : public StationFixture {};

// Every row: how readiness was left before, whether the port opens, what the
// scanner answers; readiness and the status line after.
TEST_F(Initialization, ReadinessAndStatusLine) {
    constexpr char kOpened[] = "Comm Port opened OK. Initializing Scanner...";
    constexpr char kOpenFailed[] = "Comm Port open failed.  Please select a different Comm Port.";
    constexpr char kReady[] =
        "OK to scan forms.  Click the Start Scanning button when you are ready.";
    constexpr char kNotDetected[] = "Scanner not detected.  Check the power and cable.";

    struct Case {
        Readiness before;
        bool opens;
        std::optional<std::int16_t> answer;  // the setup result, if any
        std::string diagnostic;
        bool readyAfter;
        std::string status;
    };
    const Case cases[] = {
        {Readiness::Fresh, true, std::nullopt, "", true, kOpened},
        {Readiness::Fresh, false, std::nullopt, "", false, kOpenFailed},
        {Readiness::Ready, false, std::nullopt, "", false, kOpenFailed},  // ready, port closed
        {Readiness::NotDetected, false, std::nullopt, "", false, kOpenFailed},
        {Readiness::Fresh, true, 1, "", true, kReady},
        {Readiness::Fresh, true, -1, "", true, kReady},
        {Readiness::Fresh, false, 1, "", false, kReady},
        {Readiness::Fresh, true, 0, "", false, kNotDetected},
        {Readiness::Fresh, true, 0, "E17 no paper. ", false,
         std::string("E17 no paper. ") + kNotDetected},
        {Readiness::Ready, false, 0, "", false, kNotDetected},
    };
    for (const Case& c : cases) {
        TempDir fresh;
        RecordedStation run;
        run.reach(c.before);
        run.scanner.opens = c.opens;
        run.station.onInitializeClicked();
        if (c.answer) {
            run.scanner.raiseInitComplete(*c.answer, c.diagnostic);
        }
        EXPECT_EQ(run.view.status, c.status);
        EXPECT_EQ(run.view.prompt,
                  "Press the red End of Batch button on the scanner when you are done.");
        EXPECT_TRUE(run.view.boxes.empty());
        const auto before = run.commands().size();
        run.station.onStartScanningClicked();
        EXPECT_EQ(run.commands().size() > before, c.readyAfter) << c.status;
    }
}

TEST_F(Initialization, StepsInOrderAndSetupSentAlsoWhenPortStaysClosed) {
    choosePort(2);
    for (bool opens : {true, false}) {
        log.clear();
        scanner.opens = opens;
        station.onInitializeClicked();
        const std::string status = opens ? "status:Comm Port opened OK. Initializing Scanner..."
                                         : "status:Comm Port open failed.  Please select a "
                                           "different Comm Port.";
        EXPECT_EQ(log, (Strings{"prompt:Press the red End of Batch button on the scanner when "
                                "you are done.",
                                "scanner:setPortNumber(3)", "scanner:openPort",
                                "scanner:portIsOpen?", status, "scanner:setUp(f-3652.800)"}));
    }
}

TEST_F(Initialization, NoPortChosenPassesZeroUnchanged) {
    station.onInitializeClicked();
    EXPECT_EQ(scanner.portNumber, 0);
}

TEST_F(Initialization, ComponentFailureSkipsLaterStepsAndClosesFiles) {
    struct Case {
        std::string member;
        bool ready;
        std::string status;
        bool setupSent;
    };
    const Case cases[] = {
        {"setPortNumber", false, "", false},
        {"openPort", false, "", false},
        {"setUp", true, "Comm Port opened OK. Initializing Scanner...", true},
    };
    for (const Case& c : cases) {
        TempDir fresh;
        RecordedStation run;
        run.startRun();
        run.scanner.raiseInitComplete(0);  // not ready again
        run.view.status.clear();
        run.log.clear();
        run.scanner.failing = {{c.member, "No port chosen: click Com1, Com2, Com3 or Com4 first"}};
        run.station.onInitializeClicked();
        EXPECT_EQ(run.view.boxes, Strings{"64||You have encountered error No port chosen: click "
                                          "Com1, Com2, Com3 or Com4 first"});
        EXPECT_EQ(run.view.status, c.status) << c.member;
        EXPECT_EQ(run.entries("scanner:setUp").size(), c.setupSent ? 1u : 0u) << c.member;
        EXPECT_FALSE(fresh.heldOpen("Scan.TXT")) << c.member;
        run.scanner.failing.clear();
        const auto before = run.commands().size();
        run.station.onStartScanningClicked();
        EXPECT_EQ(run.commands().size() > before, c.ready) << c.member;
    }
}

TEST_F(Initialization, StartScanningAcceptedBeforeScannerAnswers) {
    station.onInitializeClicked();
    station.onStartScanningClicked();
    EXPECT_EQ(view.status, "Start feeding your answer sheets.");
    EXPECT_EQ(commands(), Strings{"scanner:sendCommand(READ)"});
}

TEST_F(Initialization, PortChoiceClosesPortAndKeepsReadiness) {
    makeReady();
    log.clear();
    choosePort(3);
    EXPECT_EQ(log, (Strings{"select:3", "scanner:closePort"}));
    EXPECT_FALSE(scanner.open);
    station.onStartScanningClicked();
    EXPECT_EQ(view.boxes, Strings{"64||You have encountered error Port is not open"});
    EXPECT_EQ(view.status, "Please initialize the scanner first.");
    station.onInitializeClicked();
    station.onStartScanningClicked();
    EXPECT_EQ(commands(), Strings{"scanner:sendCommand(READ)"}) << "the port is open again";
    EXPECT_EQ(scanner.portNumber, 4);
}

}  // namespace
}  // namespace scanforms::testing
