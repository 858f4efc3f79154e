// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The program as it ships: start-up order, the serial scanner component with
// no scanner cabled, and the two ways it ends, through the real event loop.

#include "app/program.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <functional>

#include "box_answerer.h"
#include "fakes/temp_dir.h"
#include "qt_printers.h"
#include "serial/qt_platform.h"
#include "sim_process.h"
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

TEST(Program, WithNoScannerCabledThePortFailsToOpenWithoutABoxAndTheCloseBoxEndsIt) {
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
    EXPECT_TRUE(boxes.seen.empty()) << "the status line is the one report";
    EXPECT_EQ(dir.read("Com.TXT"), "1\r\n");
}

// The menu entry clicked twice: the second station in the folder says so and
// changes nothing; once the first is killed, its lock no longer counts.
TEST(Program, ASecondStationInTheFolderEndsWithOneBoxAndChangesNoFile) {
    TempDir dir;
    dir.write("Com.TXT", "1\r\n");
    NoScannerCabled noScanner;
    QProcess first;
    first.start(QStringLiteral(SCANFORMS_PATH), {});
    ASSERT_TRUE(first.waitForStarted()) << "cannot start " << SCANFORMS_PATH;
    ASSERT_TRUE(QTest::qWaitFor([&] { return dir.exists(".scanforms.lock"); },
                                static_cast<int>(kRunDeadline.count() * 1000)));

    serial::SerialComm comm;
    BoxAnswerer boxes;
    EXPECT_EQ(runProgramWith(comm, [](ScanWindow& window) { window.close(); }), 1);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].text,
              QStringLiteral("Scan Forms already runs in this folder (process %1). Use that "
                             "window, or start this one in another folder.")
                  .arg(first.processId()));
    EXPECT_EQ(dir.read("Com.TXT"), "1\r\n");
    EXPECT_FALSE(dir.exists("Scan.TXT"));

    first.kill();
    first.waitForFinished();
    boxes.seen.clear();
    EXPECT_EQ(runProgramWith(comm, [](ScanWindow& window) { window.close(); }), 0);
    EXPECT_TRUE(boxes.seen.empty());
}

// A USB adapter mapped in the settings file, as a desktop user would: the
// listing shows what Com1 opens and where that comes from, and that what
// Com2 and Com3 open is no terminal device.
TEST(Program, ListPortsNamesTheDeviceTheSettingsFileMapsComOneTo) {
    SimProcess sim(SimProcess::Setup{"", false, {}, true});
    QTemporaryDir config;
    ASSERT_TRUE(QDir(config.path()).mkpath(QStringLiteral("scanforms")));
    const QString settings = config.filePath(QStringLiteral("scanforms/scanforms.conf"));
    std::ofstream(settings.toStdString())
        << "[ports]\nCom1=" << sim.linkPath() << "\nCom2=/dev/null\nCom3=" << settings.toStdString()
        << "\n";
    QProcess listing;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    environment.remove(QStringLiteral("SCANFORMS_COM1"));
    listing.setProcessEnvironment(environment);
    listing.start(QStringLiteral(SCANFORMS_PATH), {QStringLiteral("--list-ports")});
    ASSERT_TRUE(listing.waitForFinished()) << "cannot run " << SCANFORMS_PATH;
    EXPECT_EQ(listing.exitCode(), 0);
    const std::string printed = listing.readAllStandardOutput().toStdString();
    EXPECT_NE(printed.find("Com1  " + sim.linkPath() + "  from the settings file " +
                           settings.toStdString() + "; can be opened"),
              std::string::npos)
        << printed;
    for (const std::string& mapped :
         {std::string("Com2  /dev/null"), "Com3  " + settings.toStdString()}) {
        EXPECT_NE(printed.find(mapped + "  from the settings file " + settings.toStdString() +
                               "; not a serial port"),
                  std::string::npos)
            << printed;
    }
}

}  // namespace
}  // namespace scanforms::testing
