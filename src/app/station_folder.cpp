// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "app/station_folder.h"

#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLoggingCategory>
#include <QProgressDialog>
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

std::string holderOf(const textfile::LockAttempt& attempt) {
    return attempt.holder ? textfile::holderText(*attempt.holder)
                          : std::string("a file ") + textfile::kFolderLockName + " that is no lock";
}

void refuse(const textfile::LockAttempt& attempt) {
    switch (attempt.state) {
        case textfile::LockState::HeldHere:
            say("Scan Forms already runs in this folder (process " +
                std::to_string(attempt.holder->process) +
                "). Use that window, or start this one in another folder.");
            break;
        case textfile::LockState::HeldElsewhere:
            say("Scan Forms already runs in this folder on " +
                (attempt.holder ? textfile::holderText(*attempt.holder) : "another computer") +
                ": its lock moved on while this station watched it. Use that station, or start "
                "this one in another folder.");
            break;
        default:
            say("Scan Forms cannot lock the folder " + shownFolder() + ": " + attempt.reason +
                ". Check that you may create and read files in this folder, or start Scan Forms "
                "in another folder.");
            break;
    }
}

// What the watch window says while the lock stays as it is.
QString watchText(const textfile::LockAttempt& attempt) {
    using std::chrono::duration_cast;
    using std::chrono::seconds;
    return window::fromBytes("Another station's lock is in this folder: " + holderOf(attempt) +
                             ". Scan Forms watches it: unchanged for " +
                             std::to_string(duration_cast<seconds>(attempt.quietFor).count()) +
                             " s. Should it stay unchanged for " +
                             std::to_string(duration_cast<seconds>(attempt.staleAfter).count()) +
                             " s, that station is gone and this one takes the folder over.");
}

}  // namespace

HeldFolder::HeldFolder(std::chrono::milliseconds refreshInterval) {
    std::string directory;
    try {
        directory = textfile::systemFileSystem().currentDirectory();
    } catch (const Failure& failure) {
        refuse({textfile::LockState::Failed, std::nullopt, failure.description(), {}, {}});
        return;
    }
    auto lock = std::make_unique<textfile::FolderLock>(directory, refreshInterval);
    const std::optional<textfile::LockAttempt> attempt = lockWatching(*lock);
    if (!attempt) {
        qCInfo(lcFolder) << "the operator gave up waiting for the folder";
        return;
    }
    if (attempt->state != textfile::LockState::Locked) {
        qCWarning(lcFolder).noquote()
            << "cannot lock the folder:"
            << serial::loggable(attempt->reason.empty() ? "it is held by " + holderOf(*attempt)
                                                        : attempt->reason);
        refuse(*attempt);
        return;
    }
    if (!attempt->reason.empty()) {
        qCInfo(lcFolder).noquote()
            << "took over the lock of" << serial::loggable(holderOf(*attempt)) << "since"
            << serial::loggable(attempt->reason);
    }
    lock_ = std::move(lock);
    refreshTimer_.setInterval(refreshInterval);
    QObject::connect(&refreshTimer_, &QTimer::timeout, this, [this] { refresh(); });
    refreshTimer_.start();
}

std::optional<textfile::LockAttempt> HeldFolder::lockWatching(textfile::FolderLock& lock) {
    // A live holder moves its heartbeat within its interval; looking four
    // times as often sees that long before the lock would count as stale.
    constexpr std::chrono::milliseconds kLookEvery{250};
    constexpr int kWatchWidth = 480;
    textfile::LockAttempt attempt = lock.lock(textfile::LockClock::now());
    if (attempt.state != textfile::LockState::Watching) {
        return attempt;
    }
    qCInfo(lcFolder).noquote() << "watching the lock of" << serial::loggable(holderOf(attempt))
                               << "before taking it over";
    QProgressDialog watch;
    auto* label = new QLabel(&watch);
    label->setWordWrap(true);
    watch.setLabel(label);
    watch.setMinimumWidth(kWatchWidth);
    watch.setWindowTitle(QStringLiteral("Scan Forms"));
    watch.setRange(0, 0);
    watch.setLabelText(watchText(attempt));
    watch.show();
    QEventLoop loop;
    bool gaveUp = false;
    QObject::connect(&watch, &QProgressDialog::canceled, &loop, [&] {
        gaveUp = true;
        loop.quit();
    });
    QTimer look;
    look.setInterval(kLookEvery);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        attempt = lock.lock(textfile::LockClock::now());
        if (attempt.state == textfile::LockState::Watching) {
            watch.setLabelText(watchText(attempt));
        } else {
            loop.quit();
        }
    });
    look.start();
    loop.exec();
    if (gaveUp) {
        return std::nullopt;
    }
    return attempt;
}

std::optional<std::string> HeldFolder::takenBy() {
    return lock_->lostTo();
}

void HeldFolder::refresh() {
    try {
        if (const std::optional<std::string> lost = lock_->refresh()) {
            refreshTimer_.stop();
            qCWarning(lcFolder).noquote()
                << "the folder is no longer this station's:" << serial::loggable(*lost);
            if (lost_) {
                lost_();
            }
            return;
        }
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
