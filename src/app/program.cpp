#include "app/program.h"

#include <QApplication>
#include <QObject>

#include "window/scan_window.h"

namespace scanforms::app {

int runScanForms(Scanner& scanner) {
    window::ScanWindow scanWindow(scanner);
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
