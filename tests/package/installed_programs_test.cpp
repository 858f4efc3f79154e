// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The installed programs run from the scratch root: scanforms opens its
// window offscreen in the folder it is started in, and scanner-sim serves
// the installed demonstration batch on a pseudo-terminal.

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "installed_package.h"
#include "qt_printing.h"
#include "started_program.h"

namespace scanforms::package_test {
namespace {

constexpr std::chrono::seconds kDeviceTimeout{10};

// The test's environment without settings of a station that could reach
// the programs, with a home folder of its own.
QProcessEnvironment stationFreeEnvironment(const QString& home) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"SCANFORMS_COM1", "SCANFORMS_COM2", "SCANFORMS_COM3", "SCANFORMS_COM4",
                             "SCANFORMS_STATION", "XDG_CONFIG_HOME"}) {
        environment.remove(QLatin1String(name));
    }
    environment.insert("HOME", home);
    environment.insert("XDG_RUNTIME_DIR", home);
    return environment;
}

struct StartCase {
    const char* name;
    const char* portFile;     // Com.TXT in the start folder; nullptr: none
    const char* windowClass;  // the first window shown
    const char* windowName;
};

void PrintTo(const StartCase& start, std::ostream* out) {
    *out << start.name;
}

class InstalledScanforms : public ::testing::TestWithParam<StartCase> {};

TEST_P(InstalledScanforms, StartsOffscreenInItsStartFolder) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    QTemporaryDir home;
    QTemporaryDir station;
    ASSERT_TRUE(home.isValid() && station.isValid());
    if (GetParam().portFile != nullptr) {
        QFile portFile(station.filePath("Com.TXT"));
        ASSERT_TRUE(portFile.open(QIODevice::WriteOnly));
        portFile.write(GetParam().portFile);
    }

    const QString program = installed("/usr/bin/scanforms");
    StartedProgram scanforms(program, stationFreeEnvironment(home.path()), station.path());
    const StartedProgram::Window window = scanforms.waitForFirstWindow();

    EXPECT_EQ(window.className, GetParam().windowClass) << scanforms.errors().toStdString();
    EXPECT_EQ(window.objectName, GetParam().windowName);
    ASSERT_TRUE(scanforms.running()) << scanforms.errors().toStdString();
    EXPECT_EQ(scanforms.executable(), QFileInfo(program).canonicalFilePath());
    EXPECT_EQ(scanforms.currentFolder(), QFileInfo(station.path()).canonicalFilePath());
}

INSTANTIATE_TEST_SUITE_P(
    PortFiles, InstalledScanforms,
    ::testing::Values(
        // The stored port is chosen without a word: the Scan window comes first.
        StartCase{"PortFileOfCom2", "2\r\n", "scanforms::window::ScanWindow", "Scan"},
        // A first run in a folder: the missing port file is reported first.
        StartCase{"NoPortFile", nullptr, "QMessageBox", ""}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST(InstalledScanforms, TellsItsVersionWithoutAWindow) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcessEnvironment noDisplay = stationFreeEnvironment(home.path());
    noDisplay.remove(QStringLiteral("QT_QPA_PLATFORM"));
    noDisplay.remove(QStringLiteral("DISPLAY"));
    QProcess scanforms;
    scanforms.setProcessEnvironment(noDisplay);
    scanforms.start(installed("/usr/bin/scanforms"), {QStringLiteral("--version")});
    ASSERT_TRUE(scanforms.waitForFinished(
        static_cast<int>(std::chrono::milliseconds(kStopTimeout).count())));
    EXPECT_EQ(scanforms.exitCode(), 0) << scanforms.readAllStandardError().toStdString();
    EXPECT_EQ(scanforms.readAllStandardOutput().toStdString(),
              std::string("scanforms ") + SCANFORMS_VERSION + "\n");
}

TEST(InstalledScannerSim, ServesTheDemoBatchOnAPseudoTerminal) {
    ASSERT_TRUE(packageInstalled()) << missingPackageHint();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcess simulator;
    simulator.setProcessEnvironment(stationFreeEnvironment(home.path()));
    simulator.start(installed("/usr/bin/scanner-sim"),
                    {installed("/usr/share/scanforms/demo-batch.txt")});

    const QDeadlineTimer deadline(std::chrono::milliseconds(kDeviceTimeout).count());
    // The device path is the first line; the simulator prints it at once.
    while (!simulator.canReadLine() && simulator.state() != QProcess::NotRunning &&
           !deadline.hasExpired()) {
        simulator.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    }
    const QString device = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    EXPECT_TRUE(QRegularExpression(QStringLiteral(R"(^/dev/pts/\d+$)")).match(device).hasMatch())
        << "first line: " << device.toStdString()
        << "\nstderr: " << simulator.readAllStandardError().toStdString();
    EXPECT_TRUE(QFileInfo(device).exists());

    ASSERT_EQ(simulator.state(), QProcess::Running);
    simulator.terminate();  // SIGTERM
    ASSERT_TRUE(simulator.waitForFinished(
        static_cast<int>(std::chrono::milliseconds(kStopTimeout).count())));
    EXPECT_EQ(simulator.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(simulator.exitCode(), 0);
}

}  // namespace
}  // namespace scanforms::package_test
