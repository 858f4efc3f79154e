// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/folder_lock.h"

#include <algorithm>

#include "common/failure.h"
#include "textfile/file_name.h"

namespace scanforms::textfile {
namespace {

// Removing a stale lock and creating ours races with another station doing
// the same; the one whose lock is created first wins, the other looks again.
constexpr int kAttempts = 3;
constexpr std::size_t kLongestLock = 1024;
constexpr std::size_t kLongestProcessNumber = 18;

// "<process>\n<computer>\n"
std::string lockText(const ProcessIdentity& holder) {
    return std::to_string(holder.process) + '\n' + holder.computer + '\n';
}

std::optional<ProcessIdentity> parseLock(const std::string& text) {
    const std::size_t processEnd = text.find('\n');
    if (processEnd == std::string::npos || processEnd == 0 || processEnd > kLongestProcessNumber) {
        return std::nullopt;
    }
    const std::string process = text.substr(0, processEnd);
    if (!std::all_of(process.begin(), process.end(),
                     [](char ch) { return ch >= '0' && ch <= '9'; })) {
        return std::nullopt;
    }
    const std::size_t computerEnd = text.find('\n', processEnd + 1);
    if (computerEnd == std::string::npos || computerEnd == processEnd + 1) {
        return std::nullopt;
    }
    ProcessIdentity holder;
    holder.process = std::stoll(process);
    holder.computer = text.substr(processEnd + 1, computerEnd - processEnd - 1);
    return holder;
}

}  // namespace

std::int64_t secondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

FolderLock::FolderLock(std::string directory, FileSystem& fs)
    : fs_(fs), path_(pathIn(directory, kFolderLockName)) {}

FolderLock::~FolderLock() {
    if (!held_) {
        return;
    }
    try {
        // A station that took the lock over keeps it.
        const std::optional<FileStatus> named = fs_.status(path_);
        if (named && named->sameFileAs(fs_.status(*held_))) {
            fs_.remove(path_);
        }
    } catch (const Failure&) {
        // Left behind, it is stale once it is no longer refreshed.
    }
    fs_.close(*held_);
}

LockAttempt FolderLock::lock(std::int64_t nowSeconds) {
    LockAttempt taken{LockState::Locked, std::nullopt, {}};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::optional<Handle> created;
        try {
            created = fs_.createNew(path_);
            if (created) {
                write(*created);
            }
        } catch (const Failure& failure) {
            if (created) {
                fs_.close(*created);
                fs_.remove(path_);
            }
            return {LockState::Failed, std::nullopt, failure.description()};
        }
        if (created) {
            held_ = *created;
            return taken;
        }
        std::optional<LockAttempt> held = judgeHeldLock(nowSeconds);
        if (held) {
            return *held;
        }
        // Stale: what judgeHeldLock found is what is taken over.
        taken.holder = staleHolder_;
        taken.reason = staleReason_;
        fs_.remove(path_);
    }
    return {LockState::Failed, std::nullopt,
            "the stale lock " + std::string(kFolderLockName) + " cannot be removed"};
}

void FolderLock::write(Handle handle) {
    fs_.write(handle, lockText(fs_.thisProcess()));
    fs_.syncData(handle);
}

std::optional<LockAttempt> FolderLock::judgeHeldLock(std::int64_t nowSeconds) {
    staleHolder_.reset();
    staleReason_.clear();
    std::string text;
    std::optional<FileStatus> found;
    try {
        found = fs_.status(path_);
        if (!found) {
            staleReason_ = "it was removed";  // meanwhile: look again
            return std::nullopt;
        }
        if (found->type == FileType::Directory) {
            return LockAttempt{LockState::Failed, std::nullopt,
                               std::string(kFolderLockName) + " is a folder"};
        }
        HandleGuard handle(fs_, fs_.open(path_, OpenMode::Read));
        text.resize(kLongestLock);
        text.resize(fs_.read(handle.get(), text.data(), text.size()));
    } catch (const Failure& failure) {
        return LockAttempt{LockState::Failed, std::nullopt, failure.description()};
    }

    staleHolder_ = parseLock(text);
    if (!staleHolder_) {
        staleReason_ = "it was empty or could not be read";
        return std::nullopt;
    }
    const std::int64_t age = nowSeconds - found->modifiedSeconds;
    if (age > kLockStaleAfter.count()) {
        staleReason_ = "it was not refreshed for " + std::to_string(age) + " s";
        return std::nullopt;
    }
    const ProcessIdentity me = fs_.thisProcess();
    if (staleHolder_->computer != me.computer) {
        return LockAttempt{LockState::HeldElsewhere, staleHolder_, {}};
    }
    if (staleHolder_->process != me.process && fs_.processRunning(staleHolder_->process)) {
        return LockAttempt{LockState::HeldHere, staleHolder_, {}};
    }
    staleReason_ = "its process no longer runs";
    return std::nullopt;
}

void FolderLock::refresh() {
    if (!held_) {
        throw Failure("the folder is not locked");
    }
    const std::optional<FileStatus> named = fs_.status(path_);
    if (!named || !named->sameFileAs(fs_.status(*held_))) {
        throw Failure(std::string(kFolderLockName) + " was removed or taken over");
    }
    fs_.touch(*held_);
}

}  // namespace scanforms::textfile
