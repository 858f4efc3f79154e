// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Clicks on the window's real buttons and option buttons reach the window's
// handlers, which drive the scanner component and the controls.

#include <QLabel>
#include <QRadioButton>

#include "window_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;

class WindowClicks : public WindowTest {
protected:
    void SetUp() override {
        open("2\r\n");
        log.clear();
    }
    QString prompt() const { return control<QLabel>("Prompt")->text(); }
};

TEST_F(WindowClicks, EachButtonRunsItsHandler) {
    const Strings initialize{"scanner:setPortNumber(2)", "scanner:openPort", "scanner:portIsOpen?",
                             "scanner:setUp(f-3652.800)"};
    struct Case {
        const char* button;
        bool portOpens;
        Strings calls;
        const char* status;
    };
    const Case cases[] = {
        {"StartScan", true, {}, "Please initialize the scanner first."},
        {"InitializeScanner", false, initialize,
         "Comm Port open failed.  Please select a different Comm Port."},
        {"InitializeScanner", true, initialize, "Comm Port opened OK. Initializing Scanner..."},
        {"StartScan", true, {"scanner:sendCommand(READ)"}, "Start feeding your answer sheets."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.portOpens ? "" : ", port does not open"));
        log.clear();
        scanner.opens = c.portOpens;
        click(c.button);
        EXPECT_EQ(log, c.calls);
        EXPECT_EQ(status(), c.status);
    }
    EXPECT_EQ(prompt(), "Press the red End of Batch button on the scanner when you are done.");
    EXPECT_TRUE(boxes.seen.empty());
}

TEST_F(WindowClicks, EachPortButtonClosesThePortAndChoosesItsPort) {
    struct Case {
        const char* button;
        std::int16_t com;
        bool choice;
    };
    // A click on the button already chosen leaves the port as it is.
    for (const Case& c :
         {Case{"Port_1", 2, false}, Case{"Port_3", 4, true}, Case{"Port_0", 1, true},
          Case{"Port_2", 3, true}, Case{"Port_1", 2, true}, Case{"Port_1", 2, false}}) {
        SCOPED_TRACE(c.button);
        log.clear();
        click(c.button);
        EXPECT_EQ(log, c.choice ? Strings{"scanner:closePort"} : Strings{});
        EXPECT_TRUE(control<QRadioButton>(c.button)->isChecked());
        EXPECT_EQ(chosenPort(), c.com);
    }
}

TEST_F(WindowClicks, ReturnAndSpacePressTheFocusedButton) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
        SCOPED_TRACE(key);
        log.clear();
        control("InitializeScanner")->setFocus();
        QTest::keyClick(control("InitializeScanner"), key);
        EXPECT_EQ(log.size(), 4u) << "Initialize Scanner ran";
    }
}

TEST_F(WindowClicks, ArrowKeyInThePortGroupSelectsAndRunsTheHandler) {
    control("Port_1")->setFocus();
    QTest::keyClick(control("Port_1"), Qt::Key_Right);
    EXPECT_TRUE(control<QRadioButton>("Port_2")->isChecked());
    EXPECT_EQ(log, Strings{"scanner:closePort"});
    EXPECT_EQ(chosenPort(), 3);
}

TEST_F(WindowClicks, SelectingFromTheProgramDoesNotClick) {
    ScanWindow& asView = view();
    asView.selectPort(3);
    EXPECT_TRUE(asView.portSelected(3));
    EXPECT_FALSE(asView.portSelected(1)) << "the buttons exclude one another";
    EXPECT_TRUE(log.empty()) << "the station makes the port choice itself";
    EXPECT_EQ(chosenPort(), 2);
}

}  // namespace
}  // namespace scanforms::testing
