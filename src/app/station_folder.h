// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The station's folder made ready before the Scan window opens, on Qt: the
// core's FolderGuard (station/folder_guard.h), its refusal in a box, its
// watch of another station's quiet lock in a window the operator may cancel,
// its log lines under "scanforms.folder" and its lock refreshed on a QTimer.
//
//   current directory --FolderGuard--> locked (heartbeat every 30 s) | one box, end
//                     another station's quiet lock: watched, the watch on a
//                     status window, then taken over | one box, end
//   a refresh that finds the folder taken --> the station told (FolderClaim)
//   Scan.TXT --cutTornTail--> whole lines (the torn tail kept in ScanArchive/)

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "station/folder_guard.h"

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

    bool locked() const { return guard_->locked(); }

    std::optional<std::string> takenBy() override { return guard_->takenBy(); }
    void whenLost(std::function<void()> lost) override { guard_->whenLost(std::move(lost)); }

private:
    // Shows the watch until the guard stops watching or the operator gives up.
    void watch();

    std::optional<FolderGuard> guard_;
    QTimer refreshTimer_;
};

// Cuts a torn last record off Scan.TXT of the current directory, after the
// whole file was copied to ScanArchive/; logs what it found and did.
void keepRecordFileWhole();

}  // namespace scanforms::app
