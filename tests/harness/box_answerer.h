// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The operator at every modal box: the application's modal window, polled
// for, is recorded as a SeenBox and then answered as the test chose.

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "problem_report.h"

namespace scanforms::testing {

// What one modal box showed.
struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons standardButtons;
    qsizetype buttonCount = 0;
    Qt::TextFormat format = Qt::AutoText;
    bool ownerShown = false;  // the window the box belongs to was on screen
};

// Stands in for the operator at every modal box: polls for the application's
// modal window, records the box and answers it. A box still open after the
// deadline (say, a key that did not answer it) is closed by force and
// reported as a problem (in a test, a failure), so nothing waits forever.
class BoxAnswerer {
public:
    // HoldReturn leaves Return down: the test sends what follows. HoldSpace
    // presses Space and lets it go as a held key's first repeat does, a
    // release stamped kHeldSpaceReleasedAt that clicks the box's button: the
    // test sends the repeat's press and what follows.
    enum class Answer { ClickOk, PressReturn, PressEscape, HoldReturn, HoldSpace };

    static constexpr quint64 kHeldSpaceReleasedAt = 1660;

    static constexpr std::chrono::milliseconds kPoll{5};
    static constexpr std::chrono::seconds kDeadline{5};

    BoxAnswerer() {
        timer_.setInterval(kPoll);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    std::vector<SeenBox> seen;
    Answer answer = Answer::ClickOk;
    // Runs while the box is open, before it is answered: where a test lets
    // the scanner raise events as it would during a box.
    std::function<void(const SeenBox&)> whileOpen;

private:
    using Clock = std::chrono::steady_clock;

    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return;
        }
        if (modal != current_) {
            current_ = modal;
            openedAt_ = Clock::now();
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                reportProblem(std::string("a modal window that is not a message box: ") +
                              modal->metaObject()->className());
                modal->close();
                return;
            }
            seen.push_back(record(*box));
            if (whileOpen) {
                whileOpen(seen.back());
            }
            respond(*box);
            return;
        }
        if (Clock::now() - openedAt_ > kDeadline) {
            reportProblem("the box \"" + modal->windowTitle().toStdString() +
                          "\" was not answered; closing it");
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                box->done(0);
            } else {
                modal->close();
            }
        }
    }

    static SeenBox record(const QMessageBox& box) {
        return {box.text(),
                box.windowTitle(),
                box.icon(),
                box.standardButtons(),
                box.buttons().size(),
                box.textFormat(),
                box.parentWidget() != nullptr && box.parentWidget()->isVisible()};
    }

    void respond(QMessageBox& box) {
        switch (answer) {
            case Answer::ClickOk:
                if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
                    QTest::mouseClick(ok, Qt::LeftButton);
                }
                break;
            case Answer::PressReturn:
                QTest::keyClick(keyTarget(box), Qt::Key_Return);
                break;
            case Answer::PressEscape:
                QTest::keyClick(keyTarget(box), Qt::Key_Escape);
                break;
            case Answer::HoldReturn:
                QTest::keyPress(keyTarget(box), Qt::Key_Return);
                break;
            case Answer::HoldSpace:
                sendSpace(keyTarget(box), QEvent::KeyPress, kHeldSpaceReleasedAt - 60);
                sendSpace(keyTarget(box), QEvent::KeyRelease, kHeldSpaceReleasedAt);
                break;
        }
    }

    static void sendSpace(QWidget* target, QEvent::Type type, quint64 time) {
        QKeyEvent event(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        event.setTimestamp(time);
        QApplication::sendEvent(target, &event);
    }

    // Keys go where the operator's keys would: the box's focused control.
    static QWidget* keyTarget(QMessageBox& box) {
        QWidget* focus = box.focusWidget();
        return focus != nullptr ? focus : &box;
    }

    QTimer timer_;
    QPointer<QWidget> current_;
    Clock::time_point openedAt_;
};

}  // namespace scanforms::testing
