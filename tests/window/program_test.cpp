// The program as it ships: start-up order, the serial scanner component with
// no scanner cabled, and the two ways it ends, through the real event loop.

#include "app/program.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <functional>

#include "box_answerer.h"
#include "fakes/temp_dir.h"
#include "qt_printers.h"
#include "serial/serial_comm.h"
#include "station/operator_texts.h"
#include "window/scan_window.h"

namespace scanforms::testing {

using window::ScanWindow;
namespace {

constexpr std::chrono::milliseconds kStep{10};
constexpr std::chrono::seconds kRunDeadline{20};
constexpr int kGaveUp = 99;

// Runs the program with `scanner`, and once its window shows, `operate` on it
// (which must end the program). A program still running at the deadline is
// stopped and the result is kGaveUp.
int runProgramWith(Scanner& scanner, const std::function<void(ScanWindow&)>& operate) {
    QTimer poll;
    bool operated = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* shown = qobject_cast<ScanWindow*>(top);
            if (shown != nullptr && shown->isVisible() && !operated &&
                QApplication::activeModalWidget() == nullptr) {
                operated = true;
                operate(*shown);
            }
        }
    });
    poll.start(kStep);
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(kGaveUp); });
    deadline.start(kRunDeadline);
    return app::runScanForms(scanner);
}

// Com1 names a device that does not exist, as on a station with no scanner.
class NoScannerCabled {
public:
    NoScannerCabled() { qputenv("SCANFORMS_COM1", "/nonexistent/scanforms-no-scanner"); }
    ~NoScannerCabled() { qunsetenv("SCANFORMS_COM1"); }
};

QAbstractButton* button(ScanWindow& window, const char* name) {
    return window.findChild<QAbstractButton*>(name);
}

TEST(Program, WithoutAPortFileTheBoxComesFirstThenDoneEndsIt) {
    TempDir dir;
    serial::SerialComm comm;
    BoxAnswerer boxes;
    const int result = runProgramWith(comm, [](ScanWindow& window) {
        QTest::mouseClick(button(window, "Cancel"), Qt::LeftButton);
    });
    EXPECT_EQ(result, 0);
    ASSERT_EQ(boxes.seen.size(), 2u);
    EXPECT_TRUE(boxes.seen[0].text.startsWith(kFailurePrefix));
    EXPECT_FALSE(boxes.seen[0].ownerShown) << "before the window";
    EXPECT_EQ(boxes.seen[1].title, "Press scanner END button.");
    EXPECT_EQ(dir.read("com.TXT"), "0\r\n");
    EXPECT_FALSE(dir.exists("FormsFlag.TXT"));
}

TEST(Program, WithNoScannerCabledThePortFailsToOpenAndTheCloseBoxEndsIt) {
    TempDir dir;
    dir.write("Com.TXT", "1\r\n");
    NoScannerCabled noScanner;
    serial::SerialComm comm;
    BoxAnswerer boxes;
    std::string statusAfterInitialize;
    const int result = runProgramWith(comm, [&](ScanWindow& window) {
        QTest::mouseClick(button(window, "InitializeScanner"), Qt::LeftButton);
        statusAfterInitialize = window.statusText();
        window.close();
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(statusAfterInitialize,
              "Comm Port open failed.  Please select a different Comm Port.");
    ASSERT_EQ(boxes.seen.size(), 1u) << "only the refused setup string";
    EXPECT_EQ(boxes.seen[0].text, kFailurePrefix + QString("Port is not open"));
    EXPECT_EQ(dir.read("Com.TXT"), "1\r\n");
}

}  // namespace
}  // namespace scanforms::testing
