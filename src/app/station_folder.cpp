// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "app/station_folder.h"

#include <QDir>
#include <QLoggingCategory>
#include <string>

#include "common/failure.h"
#include "decode/response_decoder.h"
#include "serial/serial_log.h"
#include "station/station_files.h"
#include "textfile/text_files.h"
#include "textfile/torn_tail.h"
#include "window/latin1.h"
#include "window/message_box.h"

namespace scanforms::app {
namespace {

Q_LOGGING_CATEGORY(lcFolder, "scanforms.folder", QtInfoMsg)

void say(const std::string& text) {
    window::showMessageBox(nullptr, text, BoxStyle::Information, std::nullopt);
}

// The folder as the operator knows it; the lock itself keeps its bytes.
std::string shownFolder() {
    return window::toBytes(QDir::toNativeSeparators(QDir::currentPath()));
}

std::string processText(const textfile::ProcessIdentity& holder) {
    return "process " + std::to_string(holder.process);
}

void refuse(const textfile::LockAttempt& attempt) {
    const std::string minutes = std::to_string(textfile::kLockStaleAfter.count() / 60);
    switch (attempt.state) {
        case textfile::LockState::HeldHere:
            say("Scan Forms already runs in this folder (" + processText(*attempt.holder) +
                "). Use that window, or start this one in another folder.");
            break;
        case textfile::LockState::HeldElsewhere:
            say("Scan Forms already runs in this folder on the computer " +
                attempt.holder->computer + " (" + processText(*attempt.holder) +
                "). Use that station, or start this one in another folder. If that computer is "
                "switched off, start Scan Forms here again in " +
                minutes + " minutes: its lock is then out of date and is taken over.");
            break;
        default:
            say("Scan Forms cannot lock the folder " + shownFolder() + ": " + attempt.reason +
                ". Check that you may create and read files in this folder, or start Scan Forms "
                "in another folder.");
            break;
    }
}

}  // namespace

HeldFolder::HeldFolder() {
    std::string directory;
    try {
        directory = textfile::systemFileSystem().currentDirectory();
    } catch (const Failure& failure) {
        refuse({textfile::LockState::Failed, std::nullopt, failure.description()});
        return;
    }
    auto lock = std::make_unique<textfile::FolderLock>(directory);
    const textfile::LockAttempt attempt = lock->lock(textfile::secondsNow());
    if (attempt.state != textfile::LockState::Locked) {
        if (attempt.holder) {
            qCWarning(lcFolder).noquote()
                << "the folder is held by" << serial::loggable(processText(*attempt.holder))
                << "on the computer" << serial::loggable(attempt.holder->computer);
        } else {
            qCWarning(lcFolder).noquote()
                << "cannot lock the folder:" << serial::loggable(attempt.reason);
        }
        refuse(attempt);
        return;
    }
    if (attempt.holder) {
        qCInfo(lcFolder).noquote()
            << "took over the lock of" << serial::loggable(processText(*attempt.holder))
            << "on the computer" << serial::loggable(attempt.holder->computer) << "since"
            << serial::loggable(attempt.reason);
    } else if (!attempt.reason.empty()) {
        qCInfo(lcFolder).noquote() << "took over a lock since" << serial::loggable(attempt.reason);
    }
    lock_ = std::move(lock);
    refreshTimer_.setInterval(textfile::kLockRefreshInterval);
    QObject::connect(&refreshTimer_, &QTimer::timeout, this, [this] { refresh(); });
    refreshTimer_.start();
}

void HeldFolder::refresh() {
    try {
        lock_->refresh();
        if (refreshFailing_) {
            qCInfo(lcFolder) << "the folder lock is refreshed again";
        }
        refreshFailing_ = false;
    } catch (const Failure& failure) {
        if (!refreshFailing_) {
            qCWarning(lcFolder).noquote()
                << "cannot refresh the folder lock:" << serial::loggable(failure.description());
        }
        refreshFailing_ = true;
    }
}

void keepRecordFileWhole() {
    // The length of a record line: the one layout Scan.TXT is written in.
    const std::size_t lineBytes = textfile::formatLine({std::string(decode::kIdLength, ' '),
                                                        std::string(decode::kAnswerCount, ' ')})
                                      .size();
    try {
        const textfile::TailCut cut = textfile::cutTornTail(kRecordFileName, kArchiveFolder,
                                                            lineBytes, textfile::localTimeNow());
        if (cut.found.layout == textfile::RecordLayout::TornTail) {
            qCInfo(lcFolder).noquote()
                << serial::loggable("Scan.TXT: cut " + std::to_string(cut.found.tailBytes) +
                                    " bytes of a record whose write did not finish, at byte " +
                                    std::to_string(cut.found.wholeBytes) +
                                    "; the file as it was is kept in " + cut.keptIn);
        } else if (cut.found.layout == textfile::RecordLayout::Foreign) {
            qCInfo(lcFolder) << "Scan.TXT is not in the layout of the station's records: left as "
                                "it is";
        }
    } catch (const Failure& failure) {
        qCWarning(lcFolder).noquote()
            << "Scan.TXT left as it is:" << serial::loggable(failure.description());
    }
}

}  // namespace scanforms::app
