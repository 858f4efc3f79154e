// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The per-sheet work of the station, piece by piece and as a whole:
// decoding, the multiple-mark check, the durable record write, and the
// sheet handler that does all of them and asks for the next sheet.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "decode/multiple_marks.h"
#include "decode/response_decoder.h"
#include "fakes/fake_scanner.h"
#include "fakes/fake_view.h"
#include "fakes/temp_dir.h"
#include "station/station.h"
#include "textfile/text_files.h"

namespace {

using namespace scanforms;

std::string cleanResponse() {
    std::string answers;
    const char codes[] = "ABDHP@";
    for (int i = 0; i < 200; ++i) {
        answers += codes[i % 6];
    }
    return "0123456789004217XYZ1234567" + answers;
}

void BM_DecodeResponse(benchmark::State& state) {
    const std::string response = cleanResponse();
    for (auto _ : state) {
        benchmark::DoNotOptimize(decode::decodeResponse(response));
    }
}
BENCHMARK(BM_DecodeResponse);

void BM_MultipleMarkCheck(benchmark::State& state) {
    std::string decoded = decode::decodeResponse(cleanResponse()).text();
    decoded[50] = '?';
    for (auto _ : state) {
        const auto positions = decode::multipleMarkPositions(decoded);
        benchmark::DoNotOptimize(decode::multipleMarkWarning(positions));
    }
}
BENCHMARK(BM_MultipleMarkCheck);

// One 213-byte record written and synced to the disk, as every clean sheet is.
void BM_DurableRecordWrite(benchmark::State& state) {
    testing::TempDir dir;
    textfile::TextFiles files;
    files.openOutput(1, "Scan.TXT");
    const std::string answers(200, 'A');
    for (auto _ : state) {
        files.writeLine(1, {std::string("004217"), answers});
    }
}
BENCHMARK(BM_DurableRecordWrite)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The whole sheet handler: decode, check, durable write, status line and
// the next read command (recorded by a fake scanner and view).
void BM_SheetReadHandler(benchmark::State& state) {
    testing::TempDir dir;
    std::vector<std::string> log;
    testing::FakeView view(log);
    testing::FakeScanner scanner(log);
    Station station(view, scanner);
    station.onInitializeClicked();
    station.onStartScanningClicked();
    const std::string response = cleanResponse();
    for (auto _ : state) {
        scanner.raiseSheetRead(response);
        log.clear();
    }
}
BENCHMARK(BM_SheetReadHandler)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
