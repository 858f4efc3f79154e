// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Start Scanning: the last batch kept in the archive, Scan.TXT emptied, the
// scanner asked for the first sheet; or, when any of it fails, a status line
// that says the batch did not start.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/failure.h"
#include "station/operator_texts.h"
#include "station/station.h"
#include "station/station_files.h"
#include "textfile/archive.h"
#include "textfile/file_name.h"

namespace scanforms {
namespace {

constexpr char kInitializeFirst[] = "Please initialize the scanner first.";

}  // namespace

void Station::startScanning() {
    trapped("starting a batch", OnFailure::CloseAllFiles, [&] {
        files_.close(kWrittenFile);
        if (!ready_) {
            view_.setStatusText(kInitializeFirst);
            return;
        }
        // Without a port "READ" cannot go out: nothing is begun, and Scan.TXT
        // keeps its records where the grading program finds them.
        try {
            scanner_.requirePortForCommands();
        } catch (const Failure&) {
            view_.setStatusText(kInitializeFirst);
            throw;
        }
        view_.setStatusText("Start feeding your answer sheets.");
        try {
            beginRecordFile();
            scanner_.sendCommand("READ");
        } catch (...) {
            // No sheet will be read: the status line must not ask for them.
            view_.setStatusText(kBatchNotStarted);
            throw;
        }
    });
}

void Station::beginRecordFile() {
    // Scan.TXT is emptied only once its records are safe elsewhere: a second
    // press by mistake, or a new run before the last batch was taken away,
    // loses nothing.
    // A case-insensitive share may list two spellings that the server
    // holds apart: each is kept, since the one emptied may not be the one
    // that held the last batch.
    const std::vector<textfile::KeptCopy> kept =
        textfile::archiveEverySpelling(kRecordFileName, kArchiveFolder, textfile::localTimeNow());
    const std::string written = files_.existingSpelling(kRecordFileName).value_or(kRecordFileName);
    std::optional<std::string> keptWritten;
    for (const textfile::KeptCopy& copy : kept) {
        view_.log("last batch kept in " + copy.copy +
                  (copy.spelling == written ? "" : " (from " + copy.spelling + ")"));
        if (copy.spelling == written) {
            keptWritten = copy.copy;
        }
    }
    namingOnFailure(written, [&] { files_.openOutput(kWrittenFile, kRecordFileName); });
    view_.log("batch started: " + written + " emptied");
    const std::size_t moved = std::exchange(recordsInScanFile_, 0);
    // Records this run wrote leave the file the grading program reads: the
    // operator is told where they went. An earlier run's only get the log.
    if (keptWritten && moved > 0) {
        view_.messageBox(batchKeptBox(moved, textfile::pathIn(kArchiveFolder,
                                                              textfile::lastPartOf(*keptWritten))),
                         BoxStyle::Information, std::nullopt);
    }
}

}  // namespace scanforms
