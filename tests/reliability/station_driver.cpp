// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// station_driver: a station that runs a batch by itself, for the tests that
// kill the whole program. The harness's station works in the current
// directory with port 1 on the device SCANFORMS_COM1 names (offscreen unless
// a platform is named), locked and rid of a torn record first as the
// program does it: Initialize Scanner at once, Start Scanning as soon as
// the scanner answered ready, Done once the batch has ended, and every
// message box answered with OK and its text printed on standard output.
// SCANFORMS_LOCK_REFRESH_MS, when set, is its folder lock's refresh interval.

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <optional>

#include "app/station_folder.h"
#include "station_run.h"

namespace {

using namespace scanforms::testing;

void say(const char* what, const QString& text) {
    std::printf("%s: %s\n", what, text.toLocal8Bit().constData());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
    preferOffscreenPlatform();
    QApplication application(argc, argv);
    // The folder made ready as the program does it; a box that refuses
    // the folder is printed too.
    std::optional<BoxAnswerer> refusals(std::in_place);
    refusals->whileOpen = [](const SeenBox& box) { say("box", box.text); };
    const int refreshMs = qEnvironmentVariableIntValue("SCANFORMS_LOCK_REFRESH_MS");
    scanforms::app::HeldFolder folder(refreshMs > 0 ? std::chrono::milliseconds(refreshMs)
                                                    : scanforms::textfile::kLockRefreshInterval);
    refusals.reset();
    if (!folder.locked()) {
        return 1;
    }
    scanforms::app::keepRecordFileWhole();
    StationRun station(ScannerDevice{qEnvironmentVariable("SCANFORMS_COM1").toStdString()});
    station.window().watchFolder(folder);
    QObject::connect(&station.window(), &ScanWindow::programEnded,
                     [] { QCoreApplication::exit(0); });
    station.boxes().whileOpen = [&station](const SeenBox& box) {
        say("box", box.text);
        if (box.text == QLatin1String(scanforms::kEndOfBatchBox)) {
            // Waits for the End of Batch handler to return, as a click would.
            station.done();
        }
    };
    station.initialize();  // a scanner that never answers ends the program here
    say("status", QString::fromStdString(station.window().statusText()));
    station.startScanning();
    return QApplication::exec();
}
