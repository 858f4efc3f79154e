#include "app/program.h"

#include <QApplication>
#include <QObject>

#include "qtwindow/scan_window.h"

namespace scanforms::app {

int runScanForms(CComm& comm) {
    qtwindow::ScanWindow window(comm);
    // Done ends the event loop at once. The close box closes the only window,
    // which ends the loop the same way; the window object is destroyed on the
    // way out, and only then runs its termination handler.
    QObject::connect(&window, &qtwindow::ScanWindow::programEnded, &window,
                     [] { QCoreApplication::exit(0); });
    QApplication::setQuitOnLastWindowClosed(true);
    window.show();
    return QApplication::exec();
}

}  // namespace scanforms::app
