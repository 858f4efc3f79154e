// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "app/program.h"

#include <QApplication>
#include <QObject>
#include <string>

#include "app/folder_share.h"
#include "app/port_listing.h"
#include "app/port_menu.h"
#include "app/station_folder.h"
#include "window/message_box.h"
#include "window/scan_window.h"

namespace scanforms::app {

int runScanForms(Scanner& scanner) {
    // One station per folder, and the folder locked before any file in it
    // is read or written.
    HeldFolder folder;
    if (!folder.locked()) {
        return 1;
    }
    warnOfFolderThatHoldsWrites();
    keepRecordFileWhole();

    window::ScanWindow scanWindow(scanner);
    scanWindow.watchFolder(folder);
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
