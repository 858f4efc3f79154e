// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Start Scanning in a folder whose files are not as the station left them.

#include <algorithm>
#include <filesystem>
#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "station/operator_texts.h"
#include "station/station_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

std::vector<std::string> archived(const TempDir& dir) {
    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator(dir.path() / "ScanArchive")) {
        kept.push_back(readFileBytes(entry.path()));
    }
    std::sort(kept.begin(), kept.end());
    return kept;
}

// Each failure says the batch did not start, names its file, and sends no
// read.
TEST(StartScanning, FailureBeforeTheReadSaysTheBatchDidNotStartAndNamesTheFile) {
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> spoil;
        const char* box;
    };
    const std::vector<Case> cases{
        {"a file where the archive folder goes",
         [](const TempDir& dir) {
             dir.write("Scan.TXT", record("000001"));
             dir.write("ScanArchive", "a file");
         },
         "Path/File access error: ScanArchive is not a folder"},
        {"Scan.TXT a folder",
         [](const TempDir& dir) { fs::create_directory(dir.path() / "Scan.TXT"); },
         "Path/File access error: Scan.TXT"},
#ifndef _WIN32
        {"Scan.TXT a pipe",
         [](const TempDir& dir) { ::mkfifo((dir.path() / "Scan.TXT").c_str(), 0666); },
         "Bad file mode: Scan.TXT"},
#endif
    };
    for (const Case& c : cases) {
        TempDir dir;
        RecordedStation run;
        c.spoil(dir);
        run.makeReady();
        run.log.clear();
        run.station.onStartScanningClicked();
        EXPECT_EQ(run.log, (Strings{"status:Start feeding your answer sheets.",
                                    std::string("status:") + kBatchNotStarted,
                                    std::string("box:64||") + kFailurePrefix + c.box}))
            << c.what;
    }
}

#ifndef _WIN32
// A case-insensitive share listing two spellings: both batches are kept.
TEST(StartScanning, EverySpellingOfTheRecordFileIsKeptBeforeOneIsEmptied) {
    TempDir dir;
    dir.write("scan.txt", record("000001"));
    dir.write("SCAN.TXT", record("000002"));
    RecordedStation run;
    run.makeReady();
    run.station.onStartScanningClicked();
    EXPECT_EQ(archived(dir), (Strings{record("000001"), record("000002")}));
    EXPECT_EQ(run.commands(), (Strings{"scanner:sendCommand(READ)"}));
}
#endif

}  // namespace
}  // namespace scanforms::testing
