// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "station/folder_guard.h"

#include <utility>

#include "common/failure.h"
#include "common/log_text.h"
#include "decode/response_decoder.h"
#include "station/station_files.h"
#include "textfile/lock_text.h"
#include "textfile/text_files.h"
#include "textfile/torn_tail.h"

namespace scanforms {
namespace {

std::string holderOf(const textfile::LockAttempt& attempt) {
    return attempt.holder ? textfile::holderText(*attempt.holder)
                          : std::string("a file ") + textfile::kFolderLockName + " that is no lock";
}

std::string refusalOf(const textfile::LockAttempt& attempt, const std::string& shownFolder) {
    switch (attempt.state) {
        case textfile::LockState::HeldHere:
            return "Scan Forms already runs in this folder (process " +
                   std::to_string(attempt.holder->process) +
                   "). Use that window, or start this one in another folder.";
        case textfile::LockState::HeldElsewhere:
            return "Scan Forms already runs in this folder on " +
                   (attempt.holder ? textfile::holderText(*attempt.holder) : "another computer") +
                   ": its lock moved on while this station watched it. Use that station, or "
                   "start this one in another folder.";
        default:
            return "Scan Forms cannot lock the folder " + shownFolder + ": " + attempt.reason +
                   ". Check that you may create and read files in this folder, or start Scan "
                   "Forms in another folder.";
    }
}

}  // namespace

FolderGuard::FolderGuard(const std::function<std::string()>& shownFolder, FolderLog log,
                         std::chrono::milliseconds refreshInterval)
    : shownFolder_(shownFolder), log_(std::move(log)) {
    std::string directory;
    try {
        directory = textfile::systemFileSystem().currentDirectory();
    } catch (const Failure& failure) {
        refusal_ = refusalOf({textfile::LockState::Failed, std::nullopt, failure.description(),
                              {}, {}},
                             shownFolder_());
        return;
    }
    trying_ = std::make_unique<textfile::FolderLock>(directory, refreshInterval);
    attempt_ = trying_->lock(textfile::LockClock::now());
    if (attempt_.state == textfile::LockState::Watching) {
        log_(false, "watching the lock of " + logText(holderOf(attempt_)) +
                        " before taking it over");
        return;
    }
    settle();
}

std::string FolderGuard::watchText() const {
    using std::chrono::duration_cast;
    using std::chrono::seconds;
    return "Another station's lock is in this folder: " + holderOf(attempt_) +
           ". Scan Forms watches it: unchanged for " +
           std::to_string(duration_cast<seconds>(attempt_.quietFor).count()) +
           " s. Should it stay unchanged for " +
           std::to_string(duration_cast<seconds>(attempt_.staleAfter).count()) +
           " s, that station is gone and this one takes the folder over.";
}

void FolderGuard::look() {
    if (!watching()) {
        return;
    }
    attempt_ = trying_->lock(textfile::LockClock::now());
    if (attempt_.state != textfile::LockState::Watching) {
        settle();
    }
}

void FolderGuard::giveUp() {
    if (watching()) {
        gaveUp_ = true;
        trying_.reset();
        log_(false, "the operator gave up waiting for the folder");
    }
}

void FolderGuard::settle() {
    if (attempt_.state != textfile::LockState::Locked) {
        log_(true, "cannot lock the folder: " +
                       logText(attempt_.reason.empty() ? "it is held by " + holderOf(attempt_)
                                                       : attempt_.reason));
        refusal_ = refusalOf(attempt_, shownFolder_());
        trying_.reset();
        return;
    }
    if (!attempt_.reason.empty()) {
        log_(false, "took over the lock of " + logText(holderOf(attempt_)) + " since " +
                        logText(attempt_.reason));
    }
    lock_ = std::move(trying_);
}

std::optional<std::string> FolderGuard::takenBy() {
    return lock_ ? lock_->lostTo() : std::nullopt;
}

bool FolderGuard::refresh() {
    if (lock_ == nullptr) {
        return false;
    }
    try {
        if (const std::optional<std::string> lost = lock_->refresh()) {
            log_(true, "the folder is no longer this station's: " + logText(*lost));
            if (lost_) {
                lost_();
            }
            return false;
        }
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
    return true;
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
