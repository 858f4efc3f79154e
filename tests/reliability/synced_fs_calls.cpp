// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// SyncedFs's file-system calls: each passed through to the live folder, a
// sync taken into the durable state, and every call refused once the cut
// has come.

#define FUSE_USE_VERSION 31

#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "synced_fs.h"

namespace scanforms::testing {
namespace {

SyncedFs& self() {
    return *static_cast<SyncedFs*>(fuse_get_context()->private_data);
}

// A system call's result as FUSE takes it.
int result(long value) {
    return value < 0 ? -errno : static_cast<int>(value);
}

#define ADMIT(change)            \
    if (!self().admit(change)) { \
        return -EIO;             \
    }

void* init(fuse_conn_info*, fuse_config* config) {
    config->use_ino = 1;
    config->hard_remove = 1;
    config->direct_io = 1;
    config->attr_timeout = 0;
    config->entry_timeout = 0;
    config->negative_timeout = 0;
    return fuse_get_context()->private_data;
}

int getattr(const char* path, struct stat* st, fuse_file_info* file) {
    ADMIT(false);
    return result(file ? ::fstat(static_cast<int>(file->fh), st)
                       : ::lstat(self().live(path).c_str(), st));
}

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
    ADMIT(false);
    DIR* dir = ::opendir(self().live(path).c_str());
    if (dir == nullptr) {
        return -errno;
    }
    while (const dirent* entry = ::readdir(dir)) {
        fill(buffer, entry->d_name, nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    }
    ::closedir(dir);
    return 0;
}

// A file written is opened for reading too, so that a sync can take its data.
int liveFlags(int flags) {
    flags &= ~O_NONBLOCK;
    return (flags & O_ACCMODE) == O_WRONLY ? (flags & ~O_ACCMODE) | O_RDWR : flags;
}

int openFile(const char* path, fuse_file_info* file) {
    ADMIT((file->flags & O_TRUNC) != 0);
    if (const int refused = self().refusal(path, file->flags)) {
        return -refused;
    }
    const int fd = ::open(self().live(path).c_str(), liveFlags(file->flags));
    file->fh = static_cast<std::uint64_t>(fd);
    return fd < 0 ? -errno : 0;
}

int create(const char* path, mode_t mode, fuse_file_info* file) {
    ADMIT(true);
    if (const int refused = self().refusal(path, file->flags)) {
        return -refused;
    }
    const int fd = ::open(self().live(path).c_str(), liveFlags(file->flags) | O_CREAT, mode);
    file->fh = static_cast<std::uint64_t>(fd);
    return fd < 0 ? -errno : 0;
}

int read(const char*, char* buffer, std::size_t size, off_t at, fuse_file_info* file) {
    ADMIT(false);
    return result(::pread(static_cast<int>(file->fh), buffer, size, at));
}

int write(const char*, const char* bytes, std::size_t size, off_t at, fuse_file_info* file) {
    ADMIT(true);
    return result(::pwrite(static_cast<int>(file->fh), bytes, size, at));
}

int fsync(const char*, int, fuse_file_info* file) {
    ADMIT(true);
    self().syncData(static_cast<int>(file->fh));
    return 0;
}

int fsyncdir(const char* path, int, fuse_file_info*) {
    ADMIT(true);
    self().syncFolder(self().live(path));
    return 0;
}

int release(const char*, fuse_file_info* file) {
    ::close(static_cast<int>(file->fh));
    return 0;
}

int rename(const char* from, const char* to, unsigned int flags) {
    ADMIT(true);
    struct stat st {};
    if (self().refusesRename() && ::lstat(self().live(to).c_str(), &st) == 0) {
        return -EPERM;
    }
    return result(
        ::renameat2(AT_FDCWD, self().live(from).c_str(), AT_FDCWD, self().live(to).c_str(), flags));
}

// As the GNOME desktop's SMB client does, a time set to "now" is stored as
// 1970-01-01; times given are kept.
int utimens(const char* path, const timespec times[2], fuse_file_info*) {
    ADMIT(true);
    timespec kept[2] = {times[0], times[1]};
    for (timespec& time : kept) {
        if (time.tv_nsec == UTIME_NOW) {
            time = {0, 0};
        }
    }
    return result(::utimensat(AT_FDCWD, self().live(path).c_str(), kept, 0));
}

int unlink(const char* path) {
    ADMIT(true);
    return result(::unlink(self().live(path).c_str()));
}

int mkdir(const char* path, mode_t mode) {
    ADMIT(true);
    return result(::mkdir(self().live(path).c_str(), mode));
}

int truncate(const char* path, off_t size, fuse_file_info* file) {
    ADMIT(true);
    return result(file ? ::ftruncate(static_cast<int>(file->fh), size)
                       : ::truncate(self().live(path).c_str(), size));
}

fuse_operations makeOperations() {
    fuse_operations ops{};
    ops.init = init;
    ops.getattr = getattr;
    ops.readdir = readdir;
    ops.open = openFile;
    ops.create = create;
    ops.read = read;
    ops.write = write;
    ops.fsync = fsync;
    ops.fsyncdir = fsyncdir;
    ops.release = release;
    ops.rename = rename;
    ops.unlink = unlink;
    ops.mkdir = mkdir;
    ops.truncate = truncate;
    ops.utimens = utimens;
    return ops;
}

}  // namespace

const fuse_operations& syncedFsOperations() {
    static const fuse_operations operations = makeOperations();
    return operations;
}

}  // namespace scanforms::testing
