// scanforms: reads answer sheets from an optical mark reader into Scan.TXT in
// the directory it was started in. It takes no arguments and no settings.

#include <QApplication>

#include "app/program.h"
#include "serial/serial_comm.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("scanforms"));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("scanforms"));

    // The scanner component the window drives.
    scanforms::serial::SerialComm scanner;

    return scanforms::app::runScanForms(scanner);
}
