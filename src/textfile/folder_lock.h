// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The lock that keeps a second station out of a folder where one runs: two
// stations in one folder would empty each other's Scan.TXT and interleave
// two classes in it. The lock is a small file in the folder naming the
// process and the computer that hold it; the holder refreshes its time stamp
// while it runs, so that a lock left by a station that crashed, or by a
// computer of the share that was switched off, is known to be stale and
// taken over.
//
//   lock():    .scanforms.lock free --> created, naming us --> Locked
//              taken, stale         --> removed, created    --> Locked (tookOver)
//              taken, fresh         --> HeldHere / HeldElsewhere
//              cannot be made, read --> Failed (reason)
//   refresh(): every kLockRefreshInterval, the lock's time stamp set to now

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "textfile/file_system.h"

namespace scanforms::textfile {

inline constexpr char kFolderLockName[] = ".scanforms.lock";
inline constexpr std::chrono::seconds kLockRefreshInterval{30};
// A lock not refreshed for this long belongs to no running station.
inline constexpr std::chrono::seconds kLockStaleAfter{120};

enum class LockState {
    Locked,         // this station holds the folder
    HeldHere,       // a running station of this computer holds it
    HeldElsewhere,  // a station of another computer holds it and keeps it fresh
    Failed,         // no lock can be made or read here: the station must not run
};

struct LockAttempt {
    LockState state = LockState::Failed;
    // HeldHere, HeldElsewhere: the holder; Locked: the stale holder taken
    // over, when there was one.
    std::optional<ProcessIdentity> holder;
    // Locked: what made the lock taken over stale; Failed: why no lock.
    std::string reason;
};

class FolderLock {
public:
    // The lock of `directory`, a path of the program's bytes.
    FolderLock(std::string directory, FileSystem& fs = systemFileSystem());
    // Removes the lock when this station holds it.
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    LockAttempt lock(std::int64_t nowSeconds);
    // Sets the lock's time stamp to now. Raises scanforms::Failure when it
    // cannot, or when the lock is no longer this station's file.
    void refresh();

private:
    // The answer for a lock that is held, or nothing when it is stale; then
    // staleHolder_ and staleReason_ say whose it was and why it is stale.
    std::optional<LockAttempt> judgeHeldLock(std::int64_t nowSeconds);
    void write(Handle handle);

    FileSystem& fs_;
    std::string path_;
    std::optional<Handle> held_;
    std::optional<ProcessIdentity> staleHolder_;
    std::string staleReason_;
};

// Seconds since 1970 now, from the system's clock.
std::int64_t secondsNow();

}  // namespace scanforms::textfile
