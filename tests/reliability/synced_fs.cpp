// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#define FUSE_USE_VERSION 31

#include "synced_fs.h"

#include <fcntl.h>
#include <fuse.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "fakes/file_bytes.h"

namespace scanforms::testing {
namespace {

namespace fs = std::filesystem;

unsigned long inodeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::string contentOf(int fd) {
    std::string bytes;
    char buffer[65536];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
        if (n <= 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
}

// Every file and folder under `folder` as durable.
void takeAll(const fs::path& folder, SyncedFs::Durable& durable) {
    const unsigned long folderInode = inodeOf(folder.string());
    durable.isFolder[folderInode] = true;
    auto& names = durable.names[folderInode];
    for (const auto& entry : fs::directory_iterator(folder)) {
        const unsigned long inode = inodeOf(entry.path().string());
        names[entry.path().filename().string()] = inode;
        if (entry.is_directory()) {
            takeAll(entry.path(), durable);
        } else {
            durable.isFolder[inode] = false;
            durable.data[inode] = readFileBytes(entry.path());
        }
    }
}

void liveContents(const fs::path& folder, std::map<unsigned long, std::string>& contents) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_directory()) {
            liveContents(entry.path(), contents);
        } else {
            contents[inodeOf(entry.path().string())] = readFileBytes(entry.path());
        }
    }
}

[[noreturn]] void refuse(const std::string& why) {
    throw std::runtime_error("the power-cut disk cannot be mounted: " + why +
                             ". It is a FUSE file system: it needs /dev/fuse, libfuse3 "
                             "(apt-get install fuse3 libfuse3-dev) and root (CI runs as root).");
}

}  // namespace

SyncedFs::SyncedFs(fs::path live, fs::path mountPoint, const std::string& subtype)
    : live_(std::move(live)), mountPoint_(std::move(mountPoint)) {
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        refuse(std::string("/dev/fuse: ") + std::strerror(errno));
    }
    takeAll(live_, durable_);
    fuse_args args = FUSE_ARGS_INIT(0, nullptr);
    fuse_opt_add_arg(&args, "synced-fs");
    if (!subtype.empty()) {
        fuse_opt_add_arg(&args, "-o");
        fuse_opt_add_arg(&args, ("subtype=" + subtype).c_str());
    }
    const fuse_operations& ops = syncedFsOperations();
    fuse_ = fuse_new(&args, &ops, sizeof ops, this);
    fuse_opt_free_args(&args);  // fuse_new may have added to them
    if (fuse_ == nullptr) {
        refuse("fuse_new failed");
    }
    if (fuse_mount(fuse_, mountPoint_.c_str()) != 0) {
        fuse_destroy(fuse_);
        refuse("fuse_mount on " + mountPoint_.string() + " failed");
    }
    mounted_ = true;
    loop_ = std::thread([this] { fuse_loop(fuse_); });
}

SyncedFs::~SyncedFs() {
    releaseCut();
    unmount();
}

void SyncedFs::unmount() {
    if (!mounted_) {
        return;
    }
    mounted_ = false;
    // The kernel ends the connection, and with it the loop.
    if (::umount2(mountPoint_.c_str(), 0) != 0) {
        ::umount2(mountPoint_.c_str(), MNT_DETACH);
    }
    loop_.join();
    fuse_unmount(fuse_);
    fuse_destroy(fuse_);
}

bool SyncedFs::admit(bool change) {
    std::unique_lock lock(mutex_);
    if (!cut_ && change && ++changes_ == cutAt_) {
        cut_ = true;
        changed_.notify_all();
    }
    if (cut_) {
        changed_.wait(lock, [this] { return released_; });
        return false;
    }
    return true;
}

void SyncedFs::cutAtChange(std::size_t change) {
    const std::lock_guard lock(mutex_);
    cutAt_ = change;
}

bool SyncedFs::waitForCut(std::chrono::milliseconds deadline) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, deadline, [this] { return cut_; });
}

void SyncedFs::releaseCut() {
    const std::lock_guard lock(mutex_);
    cut_ = true;
    released_ = true;
    changed_.notify_all();
}

std::size_t SyncedFs::changes() {
    const std::lock_guard lock(mutex_);
    return changes_;
}

void SyncedFs::syncData(int fd) {
    struct stat st {};
    ::fstat(fd, &st);
    std::string content = contentOf(fd);
    const std::lock_guard lock(mutex_);
    durable_.isFolder[st.st_ino] = false;
    durable_.data[st.st_ino] = std::move(content);
}

void SyncedFs::syncFolder(const std::string& path) {
    std::map<std::string, unsigned long> names;
    for (const auto& entry : fs::directory_iterator(path)) {
        const unsigned long inode = inodeOf(entry.path().string());
        names[entry.path().filename().string()] = inode;
        if (entry.is_directory()) {
            const std::lock_guard lock(mutex_);
            durable_.isFolder[inode] = true;
            durable_.names.try_emplace(inode);  // a new folder holds nothing synced yet
        }
    }
    const std::lock_guard lock(mutex_);
    durable_.names[inodeOf(path)] = std::move(names);
}

void SyncedFs::cutPower(std::mt19937& random) {
    releaseCut();
    unmount();
    std::map<unsigned long, std::string> live;
    liveContents(live_, live);
    // The durable tree, written back over the live folder.
    struct Writer {
        const Durable& durable;
        const std::map<unsigned long, std::string>& live;
        std::mt19937& random;
        void folder(unsigned long inode, const fs::path& at) {
            const auto names = durable.names.find(inode);
            if (names == durable.names.end()) {
                return;
            }
            for (const auto& [name, child] : names->second) {
                const auto kind = durable.isFolder.find(child);
                if (kind != durable.isFolder.end() && kind->second) {
                    fs::create_directory(at / name);
                    folder(child, at / name);
                } else {
                    std::ofstream(at / name, std::ios::binary) << file(child);
                }
            }
        }
        std::string file(unsigned long inode) {
            const auto synced = durable.data.find(inode);
            std::string bytes = synced == durable.data.end() ? "" : synced->second;
            const auto now = live.find(inode);
            if (now != live.end() && now->second.size() > bytes.size() &&
                now->second.compare(0, bytes.size(), bytes) == 0) {
                std::uniform_int_distribution<std::size_t> kept(0,
                                                                now->second.size() - bytes.size());
                bytes = now->second.substr(0, bytes.size() + kept(random));
            }
            return bytes;
        }
    };
    const unsigned long root = inodeOf(live_.string());
    Durable durable;
    {
        const std::lock_guard lock(mutex_);
        durable = durable_;
    }
    for (const auto& entry : fs::directory_iterator(live_)) {
        fs::remove_all(entry.path());
    }
    Writer{durable, live, random}.folder(root, live_);
}

}  // namespace scanforms::testing
