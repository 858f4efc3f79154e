// station_batch: an unthrottled simulated batch through the real station.
// scanner-sim plays N clean sheets and the end-of-batch button as fast as
// the pseudo-terminal takes them; the serial component and the real Scan
// window (offscreen) handle them as the program does, each record written
// and synced before the next read. Prints the sheets per second from Start
// Scanning to the End of Batch box, and the resident memory of the process
// when Scan.TXT reached given numbers of records.
//
//   station_batch [SHEETS [RECORDS-TO-MEASURE-MEMORY-AT ...]]
//   station_batch 10000                  # throughput
//   station_batch 100000 1000 100000     # memory over a long batch

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <vector>

#include "pty_scanner.h"
#include "serial/serial_comm.h"
#include "station/operator_texts.h"
#include "window/scan_window.h"

namespace {

using namespace scanforms;
using window::ScanWindow;

constexpr int kRecordBytes = 213;
constexpr std::chrono::milliseconds kPoll{5};
constexpr std::chrono::seconds kSimStartDeadline{10};

long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long total = 0;
    long resident = 0;
    statm >> total >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

int fail(const char* message) {
    std::fprintf(stderr, "station_batch: %s\n", message);
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const int sheets = argc > 1 ? std::atoi(argv[1]) : 10'000;
    std::map<int, long> memoryAt;  // records -> resident KiB, once reached
    for (int i = 2; i < argc; ++i) {
        memoryAt[std::atoi(argv[i])] = -1;
    }

    QTemporaryDir work;
    const QString script = work.filePath(QStringLiteral("batch.txt"));
    {
        std::ofstream out(script.toStdString(), std::ios::binary);
        for (int serial = 0; serial < sheets; ++serial) {
            out << "SHEET " << bench::cleanResponse(serial) << '\n';
        }
        out << "END\n";
    }
    QProcess sim;
    sim.start(QStringLiteral(SCANNER_SIM_PATH), {script});
    const int startDeadline =
        static_cast<int>(std::chrono::milliseconds(kSimStartDeadline).count());
    if (!sim.waitForStarted(startDeadline)) {
        return fail("cannot start scanner-sim");
    }
    while (!sim.canReadLine()) {
        if (!sim.waitForReadyRead(startDeadline)) {
            return fail("scanner-sim printed no device");
        }
    }
    const QByteArray device = sim.readLine().trimmed();
    qputenv("SCANFORMS_COM1", device);

    QDir::setCurrent(work.path());
    std::ofstream("Com.TXT", std::ios::binary) << "1\r\n";
    serial::SerialComm comm;
    ScanWindow window(comm);
    window.show();

    QElapsedTimer clock;
    qint64 endedAt = -1;
    bool started = false;
    QPointer<QWidget> answered;
    QTimer operatorPoll;
    operatorPoll.setInterval(kPoll);
    QObject::connect(&operatorPoll, &QTimer::timeout, [&] {
        const qint64 records = QFileInfo(QStringLiteral("Scan.TXT")).size() / kRecordBytes;
        for (auto& [at, kilobytes] : memoryAt) {
            if (kilobytes < 0 && records >= at) {
                kilobytes = residentKilobytes();
            }
        }
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (box != answered) {
                answered = box;
                if (box->text() == QLatin1String(kEndOfBatchBox)) {
                    endedAt = clock.nsecsElapsed();
                    QCoreApplication::exit(0);
                } else {
                    std::fprintf(stderr, "box: %s\n", qPrintable(box->text()));
                }
                box->button(QMessageBox::Ok)->click();
            }
        } else if (!started && window.statusText() == kScannerReady) {
            started = true;
            clock.start();
            window.findChild<QAbstractButton*>("StartScan")->click();
        }
    });
    operatorPoll.start();
    window.findChild<QAbstractButton*>("InitializeScanner")->click();
    QApplication::exec();
    sim.terminate();
    sim.waitForFinished(startDeadline);

    const qint64 written = QFileInfo(QStringLiteral("Scan.TXT")).size() / kRecordBytes;
    if (endedAt < 0 || written != sheets) {
        std::fprintf(stderr, "station_batch: %lld of %d records written\n",
                     static_cast<long long>(written), sheets);
        return 1;
    }
    const double seconds = static_cast<double>(endedAt) / 1e9;
    std::printf("%d sheets in %.2f s: %.0f sheets per second\n", sheets, seconds, sheets / seconds);
    for (const auto& [at, kilobytes] : memoryAt) {
        std::printf("resident memory at record %d: %ld KiB\n", at, kilobytes);
    }
    if (memoryAt.size() >= 2) {
        std::printf("growth from record %d to %d: %ld KiB\n", memoryAt.begin()->first,
                    memoryAt.rbegin()->first, memoryAt.rbegin()->second - memoryAt.begin()->second);
    }
    return 0;
}
