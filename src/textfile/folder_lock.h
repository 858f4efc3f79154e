// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The lock that keeps a second station out of a folder where one runs: two
// stations in one folder would empty each other's Scan.TXT and interleave
// two classes in it. The lock file (lock_text.h) names the holder, the token
// of its run and a heartbeat the holder advances on every refresh. No clock
// of another computer and no time stamp of the file decide anything: a lock
// is stale only when its holder's process is gone from this very machine, or
// when the station watching it saw its content unchanged for twice the
// holder's refresh interval, by the watcher's own monotonic clock.
//
//   lock(now): no lock                       --> ours, made whole and synced aside,
//                                                placed under the free name --> Locked
//              this machine's, process runs  --> HeldHere
//              this machine's, process gone  --> removed, ours placed --> Locked (taken over)
//              any other (or no lock at all) --> Watching, until on a later look
//                  it changed                --> HeldElsewhere
//                  it stayed for 2 intervals --> removed, ours placed --> Locked (taken over)
//              cannot be made, read          --> Failed (reason)
//   refresh(): the heartbeat advanced in place and synced, unless the lock
//              is no longer this run's (lostTo)

#include <chrono>
#include <optional>
#include <string>

#include "textfile/file_system.h"
#include "textfile/lock_text.h"

namespace scanforms::textfile {

inline constexpr char kFolderLockName[] = ".scanforms.lock";
inline constexpr std::chrono::milliseconds kLockRefreshInterval{30000};
// A lock that is not one, or a holder that names no interval of its own
// or an unlikely one, is judged by the longest interval a station uses.
inline constexpr std::chrono::milliseconds kShortestRefreshInterval{200};
inline constexpr std::chrono::milliseconds kLongestRefreshInterval{kLockRefreshInterval};

enum class LockState {
    Locked,         // this station holds the folder
    Watching,       // another lock is there; look again later
    HeldHere,       // a running station of this machine holds it
    HeldElsewhere,  // a station elsewhere holds it and keeps it fresh
    Failed,         // no lock can be made or read here: the station must not run
};

using LockClock = std::chrono::steady_clock;

struct LockAttempt {
    LockState state = LockState::Failed;
    // HeldHere, HeldElsewhere, Watching: the holder when the lock is
    // readable; Locked: the stale holder taken over, when there was one.
    std::optional<ProcessIdentity> holder;
    // Locked: what made the lock taken over stale; Failed: why no lock.
    std::string reason;
    // Watching: how long the lock has stayed as it is, and when it is stale.
    std::chrono::milliseconds quietFor{0};
    std::chrono::milliseconds staleAfter{0};
};

class FolderLock {
public:
    // The lock of `directory`, a path of the program's bytes, refreshed by
    // its holder every `refreshInterval`.
    explicit FolderLock(std::string directory,
                        std::chrono::milliseconds refreshInterval = kLockRefreshInterval,
                        FileSystem& fs = systemFileSystem());
    // Removes the lock when it is still this run's.
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // One look at the folder at `now`, the caller's monotonic clock.
    LockAttempt lock(LockClock::time_point now);
    // Advances the heartbeat; nothing when done, else who holds the folder
    // now. Raises scanforms::Failure when it cannot tell or write.
    std::optional<std::string> refresh();
    // Nothing while the lock is this run's; else who holds the folder now,
    // in the operator's words ("the computer lab-07 (process 4242)"), or
    // that the lock was removed. Raises scanforms::Failure when the lock
    // cannot be read.
    std::optional<std::string> lostTo();

private:
    struct Watched {
        std::string text;
        LockClock::time_point since;
    };
    // Makes the lock whole under a name of its own, then places it; false
    // when another lock took the name first.
    bool placeOurs();
    // The lock's bytes; nothing when there is none.
    std::optional<std::string> readLock();
    // The answer for the lock `text` at `now`; nothing when it is stale,
    // and then takenOver_ says whose it was and why.
    std::optional<LockAttempt> judge(const std::string& text, LockClock::time_point now);

    FileSystem& fs_;
    std::string directory_;
    std::string path_;
    LockHolder ours_;
    std::optional<Handle> held_;
    std::optional<Watched> watched_;
    LockAttempt takenOver_;
};

}  // namespace scanforms::textfile
