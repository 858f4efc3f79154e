#include "wait_for.h"

#include <QEventLoop>
#include <QTimer>

namespace scanforms::testing {
namespace {

constexpr std::chrono::milliseconds kConditionPoll{5};

}  // namespace

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    if (condition()) {
        return true;
    }
    // An event loop of its own rather than QTest::qWaitFor, which sleeps
    // between its passes over the events and so would hold a fast scanner up.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition()) {
            loop.quit();
        }
    });
    QTimer::singleShot(deadline, &loop, &QEventLoop::quit);
    poll.start(kConditionPoll);
    loop.exec();
    return condition();
}

}  // namespace scanforms::testing
