// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The station's folder made ready before the Scan window opens: locked
// against a second station, and Scan.TXT rid of a record that a crash or a
// power cut tore.
//
//   current directory --FolderLock--> locked (heartbeat every 30 s) | one box, end
//                     another station's quiet lock: watched, the watch on a
//                     status window, then taken over | one box, end
//   a refresh that finds the folder taken --> the station told (FolderClaim)
//   Scan.TXT --cutTornTail--> whole lines (the torn tail kept in ScanArchive/)

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "station/folder_claim.h"
#include "textfile/folder_lock.h"

namespace scanforms::app {

// The lock of the current directory, held while the object lives.
class HeldFolder : public QObject, public FolderClaim {
public:
    // Locks the current directory, or shows the one box that says why it
    // cannot be (a station runs there, here or on another computer; no lock
    // can be made or read) and touches no file; then `locked()` is false.
    // Another station's lock that may be stale is watched first, with a
    // window that says so and lets the operator give up.
    explicit HeldFolder(std::chrono::milliseconds refreshInterval = textfile::kLockRefreshInterval);

    bool locked() const { return lock_ != nullptr; }

    std::optional<std::string> takenBy() override;
    void whenLost(std::function<void()> lost) override { lost_ = std::move(lost); }

private:
    // The lock taken, refused or failed, after any watch; nothing when the
    // operator gave the watch up.
    std::optional<textfile::LockAttempt> lockWatching(textfile::FolderLock& lock);
    void refresh();

    std::unique_ptr<textfile::FolderLock> lock_;
    QTimer refreshTimer_;
    bool refreshFailing_ = false;
    std::function<void()> lost_;
};

// Cuts a torn last record off Scan.TXT of the current directory, after the
// whole file was copied to ScanArchive/; logs what it found and did.
void keepRecordFileWhole();

}  // namespace scanforms::app
