// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The station's folder made ready before the Scan window opens, the same for
// every program that shows the window: locked against a second station, and
// Scan.TXT rid of a record that a crash or a power cut tore. The program
// shows the refusal, writes the log lines and refreshes the lock on a timer
// of its toolkit.
//
//   current directory --FolderLock--> locked | refusal(): one box's text
//   refresh() every kLockRefreshInterval --> the lock's time stamp
//   Scan.TXT --cutTornTail--> whole lines (the torn tail kept in ScanArchive/)
//
// Log lines are made fit for one line (common/log_text.h), for the area
// "scanforms.folder".

#include <functional>
#include <memory>
#include <string>

#include "textfile/folder_lock.h"

namespace scanforms {

// One line of the folder's log; `warning` when something failed.
using FolderLog = std::function<void(bool warning, const std::string& line)>;

// The lock of the current directory, held while the object lives.
class FolderGuard {
public:
    // Locks the current directory; `shownFolder` gives it as the operator
    // knows it, for the refusal. Logs a lock taken over or refused.
    FolderGuard(const std::function<std::string()>& shownFolder, FolderLog log);

    bool locked() const { return lock_ != nullptr; }
    // Why the folder is not locked, in the one box the program shows: a
    // station runs there, here or on another computer; no lock can be made
    // or read. Empty when locked.
    const std::string& refusal() const { return refusal_; }

    // Sets the lock's time stamp to now; logs the first failure of a run of
    // them, and the refresh that works again.
    void refresh();

private:
    std::unique_ptr<textfile::FolderLock> lock_;
    std::string refusal_;
    FolderLog log_;
    bool refreshFailing_ = false;
};

// Cuts a torn last record off Scan.TXT of the current directory, after the
// whole file was copied to ScanArchive/; logs what it found and did.
void keepRecordFileWhole(const FolderLog& log);

}  // namespace scanforms
