// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The whole per-sheet path of the station, end to end: a sheet's frame
// arrives on the serial line, the serial component parses it, the real Scan
// window (offscreen) decodes and checks it, writes and syncs its record,
// shows it on the status line and sends the next read command. One iteration
// is one sheet, from the frame written to the "Read" received, through a
// pseudo-terminal. The counters give the per-sheet median and tail.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <vector>

#include "fakes/temp_dir.h"
#include "pty_scanner.h"
#include "sheet_batch.h"
#include "station_run.h"

namespace {

using namespace scanforms;
using namespace scanforms::testing;
using Clock = std::chrono::steady_clock;

// A station with a batch started, in a fresh folder of its own; the scanner
// is played here.
struct StartedBatch {
    StartedBatch() {
        station.initialize();
        station.startScanning();
        scanner.waitForCommand("READ");
    }

    TempDir folder;
    bench::PtyScanner scanner;
    StationRun station{ScannerDevice{scanner.devicePath()}};
};

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    return values[at];
}

void BM_SheetEndToEnd(benchmark::State& state) {
    StartedBatch batch;
    std::vector<std::string> frames;
    for (int serial = 0; serial < 64; ++serial) {
        frames.push_back(
            wire::encodeFrame({wire::FrameType::Sheet, cleanSheet(serial).response, 0}));
    }
    std::vector<double> milliseconds;
    std::size_t next = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        batch.scanner.send(frames[next++ % frames.size()]);
        batch.scanner.waitForCommand("Read");
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
    preferOffscreenPlatform();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
