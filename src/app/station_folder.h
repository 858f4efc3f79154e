// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The station's folder made ready before the Scan window opens, on Qt: the
// core's FolderGuard (station/folder_guard.h), its refusal in a box, its log
// lines under "scanforms.folder" and its lock refreshed on a QTimer.
//
//   current directory --FolderGuard--> locked (refreshed every 30 s) | one box, end
//   Scan.TXT --cutTornTail--> whole lines (the torn tail kept in ScanArchive/)

#include <QObject>
#include <QTimer>
#include <optional>

#include "station/folder_guard.h"

namespace scanforms::app {

// The lock of the current directory, held while the object lives.
class HeldFolder : public QObject {
public:
    // Locks the current directory, or shows the one box that says why it
    // cannot be (a station runs there, here or on another computer; no lock
    // can be made or read) and touches no file; then `locked()` is false.
    HeldFolder();

    bool locked() const { return guard_->locked(); }

private:
    std::optional<FolderGuard> guard_;
    QTimer refreshTimer_;
};

// Cuts a torn last record off Scan.TXT of the current directory, after the
// whole file was copied to ScanArchive/; logs what it found and did.
void keepRecordFileWhole();

}  // namespace scanforms::app
