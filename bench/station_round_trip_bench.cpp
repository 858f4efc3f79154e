// The whole per-sheet path of the station, end to end: a sheet's frame
// arrives on the serial line, the serial component parses it, the real Scan
// window (offscreen) decodes and checks it, writes and syncs its record,
// shows it on the status line and sends the next read command. One iteration
// is one sheet, from the frame written to the "Read" received, through a
// pseudo-terminal. The counters give the per-sheet median and tail.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "pty_scanner.h"
#include "serial/serial_comm.h"
#include "station/operator_texts.h"
#include "window/scan_window.h"

namespace {

using namespace scanforms;
using window::ScanWindow;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kReadyDeadline{10};

// A station with a batch started, in a fresh directory of its own.
struct Station {
    Station() {
        std::string folder = (std::filesystem::temp_directory_path() / "scanforms-bench-XXXXXX");
        if (::mkdtemp(folder.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        directory = folder;
        std::filesystem::current_path(directory);
        std::ofstream("Com.TXT", std::ios::binary) << "1\r\n";
        qputenv("SCANFORMS_COM1", QByteArray::fromStdString(scanner.devicePath()));
        window = std::make_unique<ScanWindow>(comm);
        window->show();
        window->findChild<QAbstractButton*>("InitializeScanner")->click();
        scanner.waitForCommand("f-3652.800");
        scanner.send(wire::encodeFrame({wire::FrameType::InitResult, "", 1}));
        if (!QTest::qWaitFor([&] { return window->statusText() == kScannerReady; },
                             static_cast<int>(std::chrono::milliseconds(kReadyDeadline).count()))) {
            throw std::runtime_error("the scanner never answered ready");
        }
        window->findChild<QAbstractButton*>("StartScan")->click();
        scanner.waitForCommand("READ");
    }
    ~Station() {
        window.reset();
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }

    bench::PtyScanner scanner;
    serial::SerialComm comm;
    std::unique_ptr<ScanWindow> window;
    std::filesystem::path directory;
};

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[at];
}

void BM_SheetEndToEnd(benchmark::State& state) {
    Station station;
    std::vector<std::string> frames;
    for (int serial = 0; serial < 64; ++serial) {
        frames.push_back(
            wire::encodeFrame({wire::FrameType::Sheet, bench::cleanResponse(serial), 0}));
    }
    std::vector<double> milliseconds;
    std::size_t next = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        station.scanner.send(frames[next++ % frames.size()]);
        station.scanner.waitForCommand("Read");
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        state.SetIterationTime(took.count() / 1000.0);
        milliseconds.push_back(took.count());
    }
    state.counters["median_ms"] = percentile(milliseconds, 0.5);
    state.counters["p99_ms"] = percentile(milliseconds, 0.99);
    state.counters["max_ms"] = percentile(milliseconds, 1.0);
}
BENCHMARK(BM_SheetEndToEnd)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
