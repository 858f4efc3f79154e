// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "app/program.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QLoggingCategory>
#include <QObject>
#include <string>

#include "app/port_menu.h"
#include "window/message_box.h"
#include "window/scan_window.h"

namespace scanforms::app {
namespace {

Q_LOGGING_CATEGORY(lcProgram, "scanforms.program", QtInfoMsg)

// The lock that keeps a second station out of a folder where one runs: it
// would empty the first one's Scan.TXT under it and overwrite its port and
// flag files. A lock left by a program that was killed is taken over.
constexpr char kFolderLock[] = ".scanforms.lock";

}  // namespace

int runScanForms(Scanner& scanner) {
    QLockFile folderLock(QDir::current().filePath(QString::fromLatin1(kFolderLock)));
    folderLock.setStaleLockTime(0);
    if (!folderLock.tryLock()) {
        qint64 holder = 0;
        QString host;
        QString application;
        if (folderLock.error() == QLockFile::LockFailedError &&
            folderLock.getLockInfo(&holder, &host, &application)) {
            window::showMessageBox(nullptr,
                                   "Scan Forms already runs in this folder (process " +
                                       std::to_string(holder) +
                                       "). Use that window, or start this one in another folder.",
                                   BoxStyle::Information, std::nullopt);
            return 1;
        }
        // A folder where no lock can be made (read-only, say) still gets
        // its station; its own failures are reported as they come.
        qCWarning(lcProgram).noquote()
            << "cannot lock the folder against a second station:" << QDir::currentPath();
    }

    window::ScanWindow scanWindow(scanner);
    PortMenus portMenus(scanWindow, serial::systemSerialDevices);
    // Done ends the event loop at once. The close box closes the only window,
    // which ends the loop the same way; the window object is destroyed on the
    // way out, and only then runs its termination handler.
    QObject::connect(&scanWindow, &window::ScanWindow::programEnded, &scanWindow,
                     [] { QCoreApplication::exit(0); });
    QApplication::setQuitOnLastWindowClosed(true);
    scanWindow.show();
    return QApplication::exec();
}

}  // namespace scanforms::app
