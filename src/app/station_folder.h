// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The station's folder made ready before the Scan window opens: locked
// against a second station, and Scan.TXT rid of a record that a crash or a
// power cut tore.
//
//   current directory --FolderLock--> locked (refreshed every 30 s) | one box, end
//   Scan.TXT --cutTornTail--> whole lines (the torn tail kept in ScanArchive/)

#include <QObject>
#include <QTimer>
#include <memory>

#include "textfile/folder_lock.h"

namespace scanforms::app {

// The lock of the current directory, held while the object lives.
class HeldFolder : public QObject {
public:
    // Locks the current directory, or shows the one box that says why it
    // cannot be (a station runs there, here or on another computer; no lock
    // can be made or read) and touches no file; then `locked()` is false.
    HeldFolder();

    bool locked() const { return lock_ != nullptr; }

private:
    void refresh();

    std::unique_ptr<textfile::FolderLock> lock_;
    QTimer refreshTimer_;
    bool refreshFailing_ = false;
};

// Cuts a torn last record off Scan.TXT of the current directory, after the
// whole file was copied to ScanArchive/; logs what it found and did.
void keepRecordFileWhole();

}  // namespace scanforms::app
