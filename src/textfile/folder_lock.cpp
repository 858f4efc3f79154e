// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/folder_lock.h"

#include <algorithm>

#include "common/failure.h"
#include "textfile/file_name.h"

namespace scanforms::textfile {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

// Removing a stale lock and placing ours races with another station doing
// the same; the one whose lock is placed first wins, the other looks again.
constexpr int kAttempts = 3;
constexpr std::size_t kLongestLock = 4096;

bool sameMachine(const ProcessIdentity& a, const ProcessIdentity& b) {
    return !a.machine.empty() && a.machine == b.machine;
}

std::string seconds(milliseconds span) {
    return std::to_string(duration_cast<std::chrono::seconds>(span).count()) + " s";
}

}  // namespace

FolderLock::FolderLock(std::string directory, milliseconds refreshInterval, FileSystem& fs)
    : fs_(fs), directory_(std::move(directory)), path_(pathIn(directory_, kFolderLockName)) {
    ours_.identity = fs_.thisProcess();
    ours_.token = newLockToken();
    ours_.refreshInterval = refreshInterval;
}

FolderLock::~FolderLock() {
    if (!held_) {
        return;
    }
    try {
        // A station that took the lock over keeps it.
        if (!lostTo()) {
            fs_.remove(path_);
        }
    } catch (const Failure&) {
        // Left behind, it is stale once no heartbeat moves it.
    }
    fs_.close(*held_);
}

LockAttempt FolderLock::lock(LockClock::time_point now) {
    if (held_) {
        return {LockState::Locked, std::nullopt, {}, {}, {}};
    }
    takenOver_ = {LockState::Locked, std::nullopt, {}, {}, {}};
    try {
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            if (placeOurs()) {
                watched_.reset();
                return takenOver_;
            }
            const std::optional<std::string> text = readLock();
            if (!text) {
                continue;  // removed meanwhile: try again
            }
            if (std::optional<LockAttempt> held = judge(*text, now)) {
                return *held;
            }
            // Stale: removed only when it is still what was judged.
            if (readLock() != text) {
                continue;
            }
            fs_.remove(path_);
            watched_.reset();
        }
    } catch (const Failure& failure) {
        return {LockState::Failed, std::nullopt, failure.description(), {}, {}};
    }
    return {LockState::Failed,
            std::nullopt,
            "the stale lock " + std::string(kFolderLockName) + " cannot be removed",
            {},
            {}};
}

bool FolderLock::placeOurs() {
    // Whole and synced under a name of its own before it counts: no station
    // ever reads a lock half written, nor one a power cut left empty.
    const std::string aside = path_ + '.' + ours_.token;
    const std::optional<Handle> made = fs_.createNew(aside);
    if (!made) {
        throw Failure(lastPartOf(aside) + " is already there");
    }
    Placement placement = Placement::NameTaken;
    try {
        fs_.write(*made, lockText(ours_));
        fs_.syncData(*made);
        placement = fs_.placeUnderFreeName(aside, path_);
    } catch (const Failure&) {
        fs_.close(*made);
        fs_.remove(aside);
        throw;
    }
    if (placement == Placement::Unsupported) {
        // A share without either way of placing: the lock is made in its
        // place. A station that reads it half made only watches it.
        fs_.close(*made);
        fs_.remove(aside);
        const std::optional<Handle> direct = fs_.createNew(path_);
        if (!direct) {
            return false;
        }
        try {
            fs_.write(*direct, lockText(ours_));
            fs_.syncData(*direct);
        } catch (const Failure&) {
            fs_.close(*direct);
            fs_.remove(path_);
            throw;
        }
        held_ = *direct;
        return true;
    }
    if (placement == Placement::NameTaken) {
        fs_.close(*made);
        fs_.remove(aside);
        return false;
    }
    held_ = *made;
    fs_.syncDirectory(directory_);
    return true;
}

std::optional<std::string> FolderLock::readLock() {
    const std::optional<FileStatus> found = fs_.status(path_);
    if (!found) {
        return std::nullopt;
    }
    if (found->type == FileType::Directory) {
        throw Failure(std::string(kFolderLockName) + " is a folder");
    }
    HandleGuard handle(fs_, fs_.open(path_, OpenMode::Read));
    std::string text(kLongestLock, '\0');
    text.resize(fs_.read(handle.get(), text.data(), text.size()));
    return text;
}

std::optional<LockAttempt> FolderLock::judge(const std::string& text, LockClock::time_point now) {
    const std::optional<LockHolder> holder = parseLockText(text);
    if (holder) {
        takenOver_.holder = holder->identity;
    }
    if (holder && sameMachine(holder->identity, ours_.identity)) {
        // This process's own number is a run before a restart: this run
        // has placed no lock yet.
        if (holder->identity.process != ours_.identity.process &&
            fs_.processRunning(holder->identity.process)) {
            return LockAttempt{LockState::HeldHere, holder->identity, {}, {}, {}};
        }
        takenOver_.reason = "its process no longer runs";
        return std::nullopt;
    }
    if (watched_ && watched_->text != text) {
        watched_.reset();
        return LockAttempt{LockState::HeldElsewhere,
                           holder ? std::optional(holder->identity) : std::nullopt,
                           {},
                           {},
                           {}};
    }
    if (!watched_) {
        watched_ = Watched{text, now};
    }
    const milliseconds interval =
        holder
            ? std::clamp(holder->refreshInterval, kShortestRefreshInterval, kLongestRefreshInterval)
            : kLongestRefreshInterval;
    const milliseconds staleAfter = 2 * interval;
    const milliseconds quiet = duration_cast<milliseconds>(now - watched_->since);
    if (quiet < staleAfter) {
        return LockAttempt{LockState::Watching,
                           holder ? std::optional(holder->identity) : std::nullopt,
                           {},
                           quiet,
                           staleAfter};
    }
    takenOver_.reason = holder ? "its heartbeat did not move for " + seconds(quiet)
                               : "it was no lock and did not change for " + seconds(quiet);
    return std::nullopt;
}

std::optional<std::string> FolderLock::refresh() {
    if (!held_) {
        throw Failure("the folder is not locked");
    }
    if (std::optional<std::string> lost = lostTo()) {
        return lost;
    }
    // In place and the same length: the file under the lock's name is ours,
    // and a lock that was taken over meanwhile is another file.
    ++ours_.heartbeat;
    fs_.writeAt(*held_, 0, lockText(ours_));
    fs_.syncData(*held_);
    return std::nullopt;
}

std::optional<std::string> FolderLock::lostTo() {
    if (!held_) {
        return "no lock was taken";
    }
    const std::optional<std::string> text = readLock();
    if (!text) {
        return std::string(kFolderLockName) + " was removed";
    }
    const std::optional<LockHolder> holder = parseLockText(*text);
    if (holder && holder->token == ours_.token) {
        return std::nullopt;
    }
    return holder ? holderText(holder->identity) + " took it over"
                  : std::string(kFolderLockName) + " was replaced by another file";
}

}  // namespace scanforms::textfile
