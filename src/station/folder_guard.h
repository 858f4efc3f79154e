// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The station's folder made ready before the Scan window opens, the same for
// every program that shows the window: locked against a second station, and
// Scan.TXT rid of a record that a crash or a power cut tore. The program
// shows the refusal and the watch, writes the log lines and calls look() and
// refresh() on timers of its toolkit.
//
//   current directory --FolderLock--> locked | refusal(): one box's text
//       another station's quiet lock --> watching(): watchText() shown,
//           look() until it settles, or giveUp() by the operator
//   refresh() every interval --> heartbeat | folder taken: whenLost callback
//   Station::recordSheet --takenBy() (FolderClaim)--> record or not
//   Scan.TXT --cutTornTail--> whole lines (the torn tail kept in ScanArchive/)
//
// Log lines are made fit for one line (common/log_text.h), for the area
// "scanforms.folder".

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "station/folder_claim.h"
#include "textfile/folder_lock.h"

namespace scanforms {

// One line of the folder's log; `warning` when something failed.
using FolderLog = std::function<void(bool warning, const std::string& line)>;

// The lock of the current directory, held while the object lives.
class FolderGuard : public FolderClaim {
public:
    // A live holder moves its heartbeat within its interval; looking four
    // times a second sees that long before the lock would count as stale.
    static constexpr std::chrono::milliseconds kLookEvery{250};

    // Takes a first look at the lock of the current directory; `shownFolder`
    // gives the folder as the operator knows it, for the refusal.
    FolderGuard(const std::function<std::string()>& shownFolder, FolderLog log,
                std::chrono::milliseconds refreshInterval = textfile::kLockRefreshInterval);

    bool locked() const { return lock_ != nullptr; }
    // Another station's lock is watched: the program shows watchText() and
    // calls look() every kLookEvery until this turns false.
    bool watching() const { return attempt_.state == textfile::LockState::Watching && !gaveUp_; }
    std::string watchText() const;
    // One more look at the watched lock.
    void look();
    // The operator gave the watch up: no lock, and no box to show.
    void giveUp();
    // Why the folder is not locked, in the one box the program shows: a
    // station runs there, here or on another computer; no lock can be made
    // or read. Empty when locked, watching or given up.
    const std::string& refusal() const { return refusal_; }

    // Advances the heartbeat; logs the first failure of a run of them, and
    // the refresh that works again. False once the folder is found taken:
    // the whenLost callback has run and refreshing is over.
    bool refresh();

    std::optional<std::string> takenBy() override;
    void whenLost(std::function<void()> lost) override { lost_ = std::move(lost); }

private:
    // The lock taken, refused or failed, once the watch is over.
    void settle();

    std::function<std::string()> shownFolder_;
    FolderLog log_;
    std::unique_ptr<textfile::FolderLock> trying_;
    std::unique_ptr<textfile::FolderLock> lock_;
    textfile::LockAttempt attempt_;
    std::string refusal_;
    bool gaveUp_ = false;
    bool refreshFailing_ = false;
    std::function<void()> lost_;
};

// Cuts a torn last record off Scan.TXT of the current directory, after the
// whole file was copied to ScanArchive/; logs what it found and did.
void keepRecordFileWhole(const FolderLog& log);

}  // namespace scanforms
