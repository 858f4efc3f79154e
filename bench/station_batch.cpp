// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

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

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "fakes/temp_dir.h"
#include "resident_memory.h"
#include "sheet_batch.h"
#include "station_run.h"

namespace {

using namespace scanforms;
using namespace scanforms::testing;

// Identifiers have six digits; a longer batch uses them again.
constexpr int kIdentifiers = 1'000'000;
constexpr std::size_t kScriptLineBytes = 233;  // "SHEET ", a response, a line end
// Far more than a sheet takes: the deadline only ends a batch that got stuck.
constexpr std::chrono::milliseconds kDeadlinePerSheet{10};

std::string batchScript(int sheets) {
    // One block, handed back to the system when freed, so that the script
    // leaves nothing behind in the resident memory measured later.
    std::string script;
    script.reserve(static_cast<std::size_t>(sheets + 1) * kScriptLineBytes);
    for (int serial = 0; serial < sheets; ++serial) {
        script += "SHEET " + cleanSheet(serial % kIdentifiers).response + "\n";
    }
    return script + "END\n";
}

long long recordsWritten() {
    return QFileInfo(QStringLiteral("Scan.TXT")).size() / static_cast<long long>(kRecordBytes);
}

}  // namespace

int main(int argc, char* argv[]) {
    preferOffscreenPlatform();
    QApplication application(argc, argv);
    const int sheets = argc > 1 ? std::atoi(argv[1]) : 10'000;
    std::map<long long, long> memoryAt;  // records -> resident KiB, once reached
    for (int i = 2; i < argc; ++i) {
        memoryAt[std::atoi(argv[i])] = -1;
    }

    TempDir folder;
    StationRun station(batchScript(sheets));
    station.boxes().whileOpen = [](const SeenBox& box) {
        if (box.text != kEndOfBatchBox) {
            std::fprintf(stderr, "box: %s\n", qPrintable(box.text));
        }
    };
    station.initialize();
    QElapsedTimer clock;
    clock.start();
    station.startScanning();
    const bool ended = waitFor(
        [&] {
            const long long records = recordsWritten();
            for (auto& [at, kilobytes] : memoryAt) {
                if (kilobytes < 0 && records >= at) {
                    kilobytes = static_cast<long>(residentBytes() / 1024);
                }
            }
            return station.boxCount(kEndOfBatchBox) > 0;
        },
        kStepDeadline + sheets * kDeadlinePerSheet);
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;

    if (!ended || recordsWritten() != sheets) {
        std::fprintf(stderr, "station_batch: %lld of %d records written\n", recordsWritten(),
                     sheets);
        return 1;
    }
    std::printf("%d sheets in %.2f s: %.0f sheets per second\n", sheets, seconds, sheets / seconds);
    for (const auto& [at, kilobytes] : memoryAt) {
        std::printf("resident memory at record %lld: %ld KiB\n", at, kilobytes);
    }
    if (memoryAt.size() >= 2) {
        std::printf("growth from record %lld to %lld: %ld KiB\n", memoryAt.begin()->first,
                    memoryAt.rbegin()->first, memoryAt.rbegin()->second - memoryAt.begin()->second);
    }
    return 0;
}
