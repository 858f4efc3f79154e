// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "wait_for.h"

#include <QEventLoop>
#include <QTimer>

namespace scanforms::testing {

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline,
             std::chrono::milliseconds poll) {
    if (condition()) {
        return true;
    }
    // An event loop of its own rather than QTest::qWaitFor, which sleeps
    // between its passes over the events and so would hold a fast scanner up.
    QEventLoop loop;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (condition()) {
            loop.quit();
        }
    });
    QTimer::singleShot(deadline, &loop, &QEventLoop::quit);
    timer.start(poll);
    loop.exec();
    return condition();
}

}  // namespace scanforms::testing
