// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The scanner component's events through the real window: what they write
// to its controls, and that an event raised while a modal box is open waits
// until the running handler has returned.

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <tuple>
#include <utility>

#include "station/operator_texts.h"
#include "station/station_fixture.h"
#include "window_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;

class WindowEvents : public WindowTest {
protected:
    void SetUp() override {
        open("2\r\n");
        click("InitializeScanner");
        log.clear();
    }
    void startRun() {
        click("StartScan");
        log.clear();
    }
};

TEST_F(WindowEvents, CleanSheetIsRecordedAndItsDecodedTextWrapsInTheStatusBox) {
    startRun();
    scanner.raiseSheetRead(sheet("004217", "AD@PH"));
    const std::string decoded = "004217XYZAC ED" + std::string(195, ' ');
    EXPECT_EQ(view().statusText(), decoded);
    EXPECT_EQ(control<QLabel>("Label1")->text(), "The scanner read....");
    EXPECT_EQ(log, Strings{"scanner:sendCommand(Read)"});
    EXPECT_EQ(dir.read("Scan.TXT"), record("004217", "AC ED"));

    scanner.raiseSheetRead(sheet("004218", std::string(200, 'A')));
    const QTextBlock block = control<QPlainTextEdit>("txtProcessing")->document()->firstBlock();
    EXPECT_GT(block.layout()->lineCount(), 1) << "209 characters wrap inside the box";
}

TEST_F(WindowEvents, NoticeIsReadBackFromTheStatusBoxAsLatin1Bytes) {
    struct Case {
        std::string notice;
        QString shown;
        Strings calls;
    };
    const Case cases[] = {
        {"1\"2", QString::fromUtf8("1\"2"), {"scanner:sendCommand(Read 20)"}},
        {"\"A\"", QString::fromUtf8("\"A\""), {}},
        {"\xE9\"t\xE9", QString::fromUtf8("\xC3\xA9\"t\xC3\xA9"), {"scanner:sendCommand(Read 20)"}},
        {"a\xA0\x62", QString::fromUtf8("a\xC2\xA0\x62"), {}},
        {"x", "x", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notice);
        log.clear();
        scanner.raiseNotice(c.notice);
        EXPECT_EQ(view().statusText(), c.notice) << "every byte comes back unchanged";
        EXPECT_EQ(control<QPlainTextEdit>("txtProcessing")->document()->toRawText(), c.shown);
        EXPECT_EQ(log, c.calls);
    }
}

TEST_F(WindowEvents, OperatorsTypingIsWhatTheStatusLineReads) {
    scanner.raiseNotice("ready");
    auto* box = control<QPlainTextEdit>("txtProcessing");
    box->setFocus();
    box->moveCursor(QTextCursor::Start);
    QTest::keyClicks(box, "x\"");
    EXPECT_EQ(view().statusText(), "x\"ready");
}

TEST_F(WindowEvents, EventDuringABoxRunsAfterTheRunningHandlerReturns) {
    startRun();
    std::vector<std::size_t> callsWhenShown;
    boxes.whileOpen = [&](const SeenBox& box) {
        callsWhenShown.push_back(log.size());
        if (box.text.startsWith("Scanning error")) {
            scanner.raiseEndOfBatch();  // the scanner's button, pressed during the box
        }
    };
    scanner.raiseScanFault();
    ASSERT_EQ(boxes.seen.size(), 2u);
    EXPECT_EQ(boxes.seen[0].text, kFaultBox);
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(boxes.seen[1].text, kEndOfBatchBox);
    EXPECT_EQ(boxes.seen[1].title, "Scan Forms");
    EXPECT_EQ(log, (Strings{"scanner:recover", "scanner:sendCommand(Read)"}));
    // The fault box showed before Recover; End of Batch only after "Read".
    EXPECT_EQ(callsWhenShown, (std::vector<std::size_t>{0, 2}));
}

// Return or Space held down to answer the End of Batch box stays down after
// the box has gone, and the window system goes on reporting it to Start
// Scanning, which has the focus after a batch, in one of these ways (times in
// ms, as X stamps them). Return answers the box as it goes down, Space as it
// first comes up (at 1660). None may press the button and empty Scan.TXT; a
// deliberate second press still starts a batch.
TEST_F(WindowEvents, AHeldReturnThatAnsweredABoxPressesNoButton) {
    // Each event: press or release, Qt's auto-repeat flag, its time.
    using Events = std::vector<std::tuple<QEvent::Type, bool, quint64>>;
    const QEvent::Type p = QEvent::KeyPress, r = QEvent::KeyRelease;
    const std::tuple<const char*, Qt::Key, Events> cases[] = {
        {"flagged repeats", Qt::Key_Return, {{p, true, 1660}, {p, true, 1700}, {r, false, 1740}}},
        {"pairs", Qt::Key_Return, {{r, false, 1660}, {p, false, 1660}, {r, false, 1740}}},
        {"unflagged presses",
         Qt::Key_Return,
         {{p, false, 1660}, {p, false, 1700}, {r, false, 1740}}},
        {"Space pairs",
         Qt::Key_Space,
         {{p, false, 1660}, {r, false, 1740}, {p, false, 1740}, {r, false, 1800}}},
    };
    for (const auto& [name, key, held] : cases) {
        SCOPED_TRACE(name);
        startRun();
        scanner.raiseSheetRead(sheet("000001"));
        boxes.answer = key == Qt::Key_Return ? BoxAnswerer::Answer::HoldReturn
                                             : BoxAnswerer::Answer::HoldSpace;
        scanner.raiseEndOfBatch();
        ASSERT_EQ(boxes.seen.back().text, kEndOfBatchBox);
        log.clear();
        for (const auto& [type, flagged, time] : held) {
            QKeyEvent event(type, key, Qt::NoModifier, QString(), flagged);
            event.setTimestamp(time);
            QApplication::sendEvent(control("StartScan"), &event);
        }
        EXPECT_EQ(log, Strings{});
        EXPECT_EQ(dir.read("Scan.TXT"), record("000001"));
        boxes.answer = BoxAnswerer::Answer::ClickOk;  // the box telling where 000001 went
        QTest::keyClick(control("StartScan"), key);
        EXPECT_EQ(log, Strings{"scanner:sendCommand(READ)"});
    }
}

// The Return that answered a box may be released where the program never
// sees it (the box's window went away with the press, as under Xvfb): the
// next box is still answered by a deliberate Return, not taken for a repeat.
TEST_F(WindowEvents, AReturnReleasedUnseenStillAnswersTheNextBox) {
    startRun();
    boxes.answer = BoxAnswerer::Answer::HoldReturn;
    scanner.raiseScanFault();
    boxes.answer = BoxAnswerer::Answer::PressReturn;
    scanner.raiseScanFault();
    EXPECT_EQ(boxes.seen.size(), 2u);
}

}  // namespace
}  // namespace scanforms::testing
