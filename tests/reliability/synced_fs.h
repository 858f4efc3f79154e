// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// A disk that keeps only what was synced, for the power-cut test: a FUSE file
// system passing every call through to a scratch folder (the live state),
// beside which it keeps a second, durable state: a file's data as of its
// last fsync or fdatasync, a folder's names as of its own last fsync. A cut
// stops the disk at one change (that change and all after it fail), and
// the power cut then leaves in the folder only the durable state, plus, for
// a file that grew past it, a random part of what was appended unsynced, as
// a disk may have written some of it on its own.
//
//   program --calls--> /dev/fuse --> SyncedFs --> live folder
//                                        `-- fsync, fsyncdir --> durable state
//   cutPower(): live folder := durable state (+ some unsynced appended bytes)
//
// Needs libfuse3 and /dev/fuse, and root to mount, as CI has; without them
// the constructor throws with a message that says so.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>

struct fuse;
struct fuse_operations;

namespace scanforms::testing {

class SyncedFs {
public:
    // Mounts the view of `live` on `mountPoint`; all that `live` holds now
    // counts as durable.
    // A `subtype` shows in the mount table as the type "fuse.<subtype>".
    SyncedFs(std::filesystem::path live, std::filesystem::path mountPoint,
             const std::string& subtype = {});
    ~SyncedFs();
    SyncedFs(const SyncedFs&) = delete;
    SyncedFs& operator=(const SyncedFs&) = delete;

    // The change with this number (from 1: a write, a sync, a new or removed
    // name, a truncation) and every call after it wait until releaseCut(),
    // then fail. Returns false when the deadline passed before it came.
    void cutAtChange(std::size_t change);
    bool waitForCut(std::chrono::milliseconds deadline);
    void releaseCut();
    // Shows a rename onto a taken name as refused, as some SFTP servers do.
    void refuseRenameOntoTakenName() { refusesRename_ = true; }
    // Answers an open (or create) with the error `refusal` gives for its path
    // ("/Scan.TXT") and flags, where not 0: a share that cannot append, a
    // file it lets no one read. Set before the disk is used.
    void refuseOpens(std::function<int(const std::string&, int)> refusal) {
        refusal_ = std::move(refusal);
    }
    std::size_t changes();

    // Unmounts, then leaves in the live folder only what survives the cut.
    void cutPower(std::mt19937& random);

    // What the file system calls do; public for its C callbacks only.
    struct Durable {
        std::map<unsigned long, std::string> data;
        std::map<unsigned long, std::map<std::string, unsigned long>> names;
        std::map<unsigned long, bool> isFolder;
    };
    bool admit(bool change);
    std::string live(const char* path) const { return (live_ / (path + 1)).string(); }
    bool refusesRename() const { return refusesRename_; }
    int refusal(const char* path, int flags) const { return refusal_ ? refusal_(path, flags) : 0; }
    void syncData(int fd);
    void syncFolder(const std::string& path);

private:
    void unmount();

    std::filesystem::path live_;
    std::filesystem::path mountPoint_;
    fuse* fuse_ = nullptr;
    std::thread loop_;
    bool mounted_ = false;
    bool refusesRename_ = false;
    std::function<int(const std::string&, int)> refusal_;

    std::mutex mutex_;
    std::condition_variable changed_;
    Durable durable_;
    std::size_t changes_ = 0;
    std::size_t cutAt_ = 0;  // 0: no cut
    bool cut_ = false;
    bool released_ = false;
};

// The calls SyncedFs answers (synced_fs_calls.cpp).
const fuse_operations& syncedFsOperations();

}  // namespace scanforms::testing
