// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "station/folder_guard.h"

#include <utility>

#include "common/failure.h"
#include "common/log_text.h"
#include "decode/response_decoder.h"
#include "station/station_files.h"
#include "textfile/text_files.h"
#include "textfile/torn_tail.h"

namespace scanforms {
namespace {

std::string processText(const textfile::ProcessIdentity& holder) {
    return "process " + std::to_string(holder.process);
}

std::string refusalOf(const textfile::LockAttempt& attempt, const std::string& shownFolder) {
    const std::string minutes = std::to_string(textfile::kLockStaleAfter.count() / 60);
    switch (attempt.state) {
        case textfile::LockState::HeldHere:
            return "Scan Forms already runs in this folder (" + processText(*attempt.holder) +
                   "). Use that window, or start this one in another folder.";
        case textfile::LockState::HeldElsewhere:
            return "Scan Forms already runs in this folder on the computer " +
                   attempt.holder->computer + " (" + processText(*attempt.holder) +
                   "). Use that station, or start this one in another folder. If that computer "
                   "is switched off, start Scan Forms here again in " +
                   minutes + " minutes: its lock is then out of date and is taken over.";
        default:
            return "Scan Forms cannot lock the folder " + shownFolder + ": " + attempt.reason +
                   ". Check that you may create and read files in this folder, or start Scan "
                   "Forms in another folder.";
    }
}

}  // namespace

FolderGuard::FolderGuard(const std::function<std::string()>& shownFolder, FolderLog log)
    : log_(std::move(log)) {
    std::string directory;
    try {
        directory = textfile::systemFileSystem().currentDirectory();
    } catch (const Failure& failure) {
        refusal_ = refusalOf({textfile::LockState::Failed, std::nullopt, failure.description()},
                             shownFolder());
        return;
    }
    auto lock = std::make_unique<textfile::FolderLock>(directory);
    const textfile::LockAttempt attempt = lock->lock(textfile::secondsNow());
    if (attempt.state != textfile::LockState::Locked) {
        if (attempt.holder) {
            log_(true, "the folder is held by " + logText(processText(*attempt.holder)) +
                           " on the computer " + logText(attempt.holder->computer));
        } else {
            log_(true, "cannot lock the folder: " + logText(attempt.reason));
        }
        refusal_ = refusalOf(attempt, shownFolder());
        return;
    }
    if (attempt.holder) {
        log_(false, "took over the lock of " + logText(processText(*attempt.holder)) +
                        " on the computer " + logText(attempt.holder->computer) + " since " +
                        logText(attempt.reason));
    } else if (!attempt.reason.empty()) {
        log_(false, "took over a lock since " + logText(attempt.reason));
    }
    lock_ = std::move(lock);
}

void FolderGuard::refresh() {
    if (lock_ == nullptr) {
        return;
    }
    try {
        lock_->refresh();
        if (refreshFailing_) {
            log_(false, "the folder lock is refreshed again");
        }
        refreshFailing_ = false;
    } catch (const Failure& failure) {
        if (!refreshFailing_) {
            log_(true, "cannot refresh the folder lock: " + logText(failure.description()));
        }
        refreshFailing_ = true;
    }
}

void keepRecordFileWhole(const FolderLog& log) {
    // The length of a record line: the one layout Scan.TXT is written in.
    const std::size_t lineBytes = textfile::formatLine({std::string(decode::kIdLength, ' '),
                                                        std::string(decode::kAnswerCount, ' ')})
                                      .size();
    try {
        const textfile::TailCut cut = textfile::cutTornTail(kRecordFileName, kArchiveFolder,
                                                            lineBytes, textfile::localTimeNow());
        if (cut.found.layout == textfile::RecordLayout::TornTail) {
            log(false, logText("Scan.TXT: cut " + std::to_string(cut.found.tailBytes) +
                               " bytes of a record whose write did not finish, at byte " +
                               std::to_string(cut.found.wholeBytes) +
                               "; the file as it was is kept in " + cut.keptIn));
        } else if (cut.found.layout == textfile::RecordLayout::Foreign) {
            log(false, "Scan.TXT is not in the layout of the station's records: left as it is");
        }
    } catch (const Failure& failure) {
        log(true, "Scan.TXT left as it is: " + logText(failure.description()));
    }
}

}  // namespace scanforms
