// station_driver: a station that runs a batch by itself, for tests that kill
// the whole program. The real Scan window (offscreen unless a platform is
// named) and the serial component work in the current directory as the
// scanforms program does; Initialize Scanner is clicked at once and Start
// Scanning as soon as the scanner answered ready; every message box is
// answered with OK and its text printed on standard output. Port 1 is the
// device named by SCANFORMS_COM1, as for the program.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "serial/serial_comm.h"
#include "station/operator_texts.h"
#include "window/scan_window.h"

namespace {

using scanforms::kScannerReady;
using scanforms::window::ScanWindow;

constexpr std::chrono::milliseconds kOperatorPoll{5};

void say(const char* what, const QString& text) {
    std::printf("%s: %s\n", what, text.toLocal8Bit().constData());
    std::fflush(stdout);
}

void click(ScanWindow& window, const char* name) {
    if (auto* button = window.findChild<QAbstractButton*>(name)) {
        button->click();
    } else {
        std::fprintf(stderr, "station_driver: no button %s\n", name);
        QCoreApplication::exit(1);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    scanforms::serial::SerialComm comm;
    ScanWindow window(comm);
    QObject::connect(&window, &ScanWindow::programEnded, [] { QCoreApplication::exit(0); });

    // The operator: answers each box once, and starts scanning once ready.
    QPointer<QWidget> answered;
    bool started = false;
    QTimer operatorPoll;
    operatorPoll.setInterval(kOperatorPoll);
    QObject::connect(&operatorPoll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (box != answered) {
                answered = box;
                say("box", box->text());
                box->button(QMessageBox::Ok)->click();
            }
            return;
        }
        if (!started && window.statusText() == kScannerReady) {
            started = true;
            say("status", QString::fromLatin1(kScannerReady));
            click(window, "StartScan");
        }
    });
    operatorPoll.start();

    window.show();
    QTimer::singleShot(0, &window, [&] { click(window, "InitializeScanner"); });
    return QApplication::exec();
}
