// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Creating the window reads the port file before the window shows; the
// program ends either by Done, which saves the port and skips the
// termination handler, or by the close box, which runs it once.

#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <algorithm>
#include <functional>

#include "station/operator_texts.h"
#include "station/station_fixture.h"
#include "window_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;

const char* const kGetReady = "Get ready -- Turn scanner power switch on, load your forms.";

class WindowStart : public WindowTest {};

TEST_F(WindowStart, PortFileSelectsTheStoredPortOrOneBoxShowsBeforeTheWindow) {
    struct Case {
        std::optional<std::string> portFile;
        int selected;  // -1: none
        bool box;
    };
    const Case cases[] = {
        {"2\r\n", 1, false},      {"3,1\r\n", 2, false}, {"4\r\n", 3, false},
        {std::nullopt, -1, true}, {"0\r\n", -1, true},   {"5\r\n", -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.portFile.value_or("no port file"));
        window.reset();
        boxes.seen.clear();
        log.clear();
        open(c.portFile);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(control<QRadioButton>(QStringLiteral("Port_%1").arg(i))->isChecked(),
                      i == c.selected)
                << i;
        }
        EXPECT_EQ(view().statusText(), "");
        EXPECT_EQ(control<QLabel>("Prompt")->text(), kGetReady);
        if (c.box) {
            ASSERT_EQ(boxes.seen.size(), 1u);
            EXPECT_TRUE(boxes.seen[0].text.startsWith(kFailurePrefix));
            EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Information);
            EXPECT_EQ(boxes.seen[0].title, "Scan Forms");
            EXPECT_FALSE(boxes.seen[0].ownerShown) << "the box comes before the window";
            EXPECT_TRUE(log.empty());
        } else {
            EXPECT_TRUE(boxes.seen.empty());
            EXPECT_EQ(log, Strings{"scanner:closePort"}) << "the port choice ran once";
        }
        EXPECT_EQ(chosenPort(), c.selected + 1);
    }
}

class WindowEnd : public WindowTest {
protected:
    void SetUp() override {
        open("2\r\n");
        // Also while the window object is being destroyed.
        auto* box = control<QPlainTextEdit>("txtProcessing");
        QObject::connect(box, &QPlainTextEdit::textChanged,
                         [this, box] { shown.push_back(box->toPlainText()); });
        ended = std::make_unique<QSignalSpy>(window.get(), &ScanWindow::programEnded);
    }
    std::vector<QString> shown;  // every text of the status box
    std::unique_ptr<QSignalSpy> ended;
};

TEST_F(WindowEnd, DoneSavesThePortAndEndsWithoutTheTerminationHandler) {
    click("Port_3");
    click("InitializeScanner");
    scanner.raiseInitComplete(1);
    click("StartScan");
    scanner.raiseSheetRead(sheet("004217", "A"));
    log.clear();

    click("Cancel");
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].text, "Press the END button on your scanner.");
    EXPECT_EQ(boxes.seen[0].title, "Press scanner END button.");
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Information);
    EXPECT_EQ(dir.read("Com.TXT"), "4\r\n") << "written over the port file read at start";
    EXPECT_EQ(dir.read("FormsFlag.TXT"), "1\r\n");
    EXPECT_EQ(dir.read("Scan.TXT"), record("004217", "A"));
    EXPECT_EQ(ended->count(), 1);
    EXPECT_FALSE(window->isVisible());

    click("StartScan");  // nothing of the window runs any more
    scanner.raiseNotice("late");
    window.reset();
    EXPECT_EQ(log, Strings{"scanner:closePort"}) << "Done's close, and nothing after";
    EXPECT_FALSE(shown.back() == "Closed");
}

TEST_F(WindowEnd, CloseBoxRunsTheTerminationHandlerOnceAndSavesNothing) {
    click("Port_3");
    click("InitializeScanner");
    log.clear();
    ASSERT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ended->count(), 0);
    EXPECT_TRUE(log.empty()) << "the handler runs when the window object goes";

    window.reset();
    EXPECT_EQ(log, Strings{"scanner:closePort"});
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), "Closed");
    EXPECT_EQ(std::count(shown.begin(), shown.end(), "Closed"), 1);
    EXPECT_EQ(dir.read("Com.TXT"), "2\r\n") << "the port file as it was";
    EXPECT_FALSE(dir.exists("FormsFlag.TXT"));
    EXPECT_TRUE(boxes.seen.empty());
}

// A sheet half on the line is named on screen wherever the batch stops; the
// close box names it over the window, before the window goes.
TEST_F(WindowEnd, ASheetHalfOnTheLineIsNamedWhereverTheBatchStops) {
    const std::vector<std::pair<std::function<void()>, std::string>> stops = {
        {[&] { click("Cancel"); }, "Sheet 777123 was read after Done and is not in Scan.TXT."},
        {[&] { click("Port_0"); }, "Scanning stopped: another port was chosen. Sheet 777123 was"},
        {[&] { window->close(); }, "Scanning stopped: the window is closing. Sheet 777123 was"},
    };
    for (const auto& [stop, named] : stops) {
        open("2\r\n");
        click("InitializeScanner");
        scanner.raiseInitComplete(1);
        click("StartScan");
        scanner.held = {{}, HeldInput::InFlight::PartialFrame, sheet("777123").substr(0, 50)};
        stop();
        ASSERT_FALSE(boxes.seen.empty()) << named;
        EXPECT_TRUE(boxes.seen.back().text.startsWith(QString::fromStdString(named)))
            << boxes.seen.back().text.toStdString();
        EXPECT_TRUE(boxes.seen.back().ownerShown) << named;
        boxes.seen.clear();
        scanner.held = {};
    }
}

}  // namespace
}  // namespace scanforms::testing
