// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The FileSystem backend over POSIX calls: the only file of the text-record
// layer that talks to the system directly.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <mutex>
#include <set>

#include "common/failure.h"
#include "textfile/file_system.h"
#include "textfile/posix_machine.h"

namespace scanforms::textfile {
namespace {

constexpr std::size_t kLongestDirectory = 1u << 20;

[[noreturn]] void failWithErrno(int error) {
    throw Failure(describeErrno(error));
}

// Errors with which a file system refuses an open for appending that it
// would take for writing: "not supported", and the "I/O error" smbnetfs
// answers. A real I/O error fails again on the second open.
bool refusesAppend(int error) {
    return error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS || error == EINVAL ||
           error == EIO;
}

int fdOf(Handle handle) {
    return static_cast<int>(handle);
}

FileStatus statusFrom(const struct stat& st) {
    FileStatus status;
    if (S_ISREG(st.st_mode)) {
        status.type = FileType::Regular;
    } else if (S_ISDIR(st.st_mode)) {
        status.type = FileType::Directory;
    } else if (S_ISCHR(st.st_mode)) {
        status.type = FileType::CharacterDevice;
    }
    status.device = static_cast<std::uint64_t>(st.st_dev);
    status.file = static_cast<std::uint64_t>(st.st_ino);
    status.size = static_cast<long long>(st.st_size);
    status.modifiedSeconds = static_cast<std::int64_t>(st.st_mtime);
    return status;
}

// All of `bytes`, at `offset` when there is one, else at the file's position.
void writeWhole(int fd, std::string_view bytes, std::optional<long long> offset) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const char* from = bytes.data() + done;
        const std::size_t left = bytes.size() - done;
        const ssize_t n = offset
                              ? ::pwrite(fd, from, left,
                                         static_cast<off_t>(*offset + static_cast<long long>(done)))
                              : ::write(fd, from, left);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0) {
            failWithErrno(ENOSPC);
        } else if (errno != EINTR) {
            failWithErrno(errno);
        }
    }
}

// The answers of a file system that lacks the call asked of it.
bool cannotDo(int error) {
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS ||
           error == EMLINK || error == EXDEV;
}

class PosixFileSystem final : public FileSystem {
public:
    std::string currentDirectory() override {
        std::string buffer(4096, '\0');
        while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
            if (errno == ENOENT) {
                throw Failure("Path not found");  // the directory was removed
            }
            if (errno != ERANGE || buffer.size() > kLongestDirectory) {
                failWithErrno(errno);
            }
            buffer.resize(buffer.size() * 2);
        }
        buffer.resize(buffer.find('\0'));
        return buffer;
    }

    std::vector<std::string> entryNames(const std::string& directory) override {
        std::vector<std::string> names;
        DIR* dir = ::opendir(directory.c_str());
        if (dir == nullptr) {
            return names;
        }
        while (const dirent* entry = ::readdir(dir)) {
            names.emplace_back(entry->d_name);
        }
        ::closedir(dir);
        return names;
    }

    std::optional<FileStatus> status(const std::string& path) override {
        struct stat st {};
        if (::stat(path.c_str(), &st) == -1) {
            if (errno == ENOENT || errno == ENOTDIR) {
                return std::nullopt;
            }
            failWithErrno(errno);
        }
        return statusFrom(st);
    }

    FileStatus status(Handle handle) override {
        struct stat st {};
        if (::fstat(fdOf(handle), &st) == -1) {
            failWithErrno(errno);
        }
        return statusFrom(st);
    }

    Handle open(const std::string& path, OpenMode mode) override {
        // Non-blocking for the open only, so that a FIFO in the file's place
        // cannot hang the program waiting for a partner.
        int access = O_RDONLY;
        if (mode == OpenMode::Write) {
            access = O_WRONLY | O_CREAT | O_TRUNC | O_APPEND;
        } else if (mode == OpenMode::Update) {
            access = O_WRONLY;
        }
        const int flags = access | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
        int fd = ::open(path.c_str(), flags, 0666);
        if (fd == -1 && (flags & O_APPEND) != 0 && refusesAppend(errno)) {
            // A share that cannot append (smbnetfs) still writes at an
            // offset: each write is then placed at the file's end by hand.
            fd = ::open(path.c_str(), flags & ~O_APPEND, 0666);
            if (fd != -1) {
                const std::lock_guard lock(mutex_);
                appendedByHand_.insert(fd);
            }
        }
        if (fd == -1) {
            failWithErrno(errno);
        }
        const int status = ::fcntl(fd, F_GETFL);
        if (status != -1) {
            ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
        }
        return fd;
    }

    std::optional<Handle> createNew(const std::string& path) override {
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd == -1) {
            if (errno == EEXIST) {
                return std::nullopt;
            }
            failWithErrno(errno);
        }
        return fd;
    }

    std::size_t read(Handle handle, char* buffer, std::size_t size) override {
        ssize_t n = 0;
        do {
            n = ::read(fdOf(handle), buffer, size);
        } while (n == -1 && errno == EINTR);
        if (n == -1) {
            failWithErrno(errno);
        }
        return static_cast<std::size_t>(n);
    }

    void write(Handle handle, std::string_view bytes) override {
        if (appendsByHand(handle) && ::lseek(fdOf(handle), 0, SEEK_END) == -1) {
            failWithErrno(errno);
        }
        writeWhole(fdOf(handle), bytes, std::nullopt);
    }

    void syncData(Handle handle) override {
        if (::fdatasync(fdOf(handle)) == -1) {
            failWithErrno(errno);
        }
    }

    bool truncate(Handle handle, long long size) override {
        return ::ftruncate(fdOf(handle), static_cast<off_t>(size)) == 0;
    }

    void writeAt(Handle handle, long long offset, std::string_view bytes) override {
        writeWhole(fdOf(handle), bytes, offset);
    }

    void close(Handle handle) override {
        {
            const std::lock_guard lock(mutex_);
            appendedByHand_.erase(fdOf(handle));
        }
        ::close(fdOf(handle));
    }

    void syncDirectory(const std::string& directory) override {
        const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd == -1) {
            if (errno == EACCES) {
                // A directory the program may write in but not list cannot be
                // opened to be synced; its entries are the system's to keep.
                return;
            }
            failWithErrno(errno);
        }
        const int result = ::fsync(fd);
        const int error = errno;
        ::close(fd);
        if (result == -1) {
            failWithErrno(error);
        }
    }

    bool rename(const std::string& from, const std::string& to) override {
        if (::rename(from.c_str(), to.c_str()) == 0) {
            return true;
        }
        const int error = errno;
        // An SFTP server that renames only onto a free name answers with a
        // refusal (sshfs: "Operation not permitted") while `to` is there; the
        // folder itself is writable, since `from` was just made in it.
        const bool refusal = error == EPERM || error == EACCES || error == EEXIST ||
                             error == ENOTEMPTY || error == ENOTSUP || error == ENOSYS ||
                             error == EBUSY;
        struct stat st {};
        if (refusal && ::lstat(to.c_str(), &st) == 0) {
            return false;
        }
        failWithErrno(error);
    }

    Placement placeUnderFreeName(const std::string& from, const std::string& to) override {
        // A second name given, then the first taken away; where the file
        // system has no hard links, a rename that refuses a taken name.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return Placement::Placed;
        }
        if (errno == EEXIST) {
            return Placement::NameTaken;
        }
        if (!cannotDo(errno)) {
            failWithErrno(errno);
        }
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
            return Placement::Placed;
        }
        if (errno == EEXIST) {
            return Placement::NameTaken;
        }
        if (cannotDo(errno) || errno == EINVAL) {
            return Placement::Unsupported;
        }
        failWithErrno(errno);
    }

    void remove(const std::string& path) override { ::unlink(path.c_str()); }

    bool makeDirectory(const std::string& path) override {
        if (::mkdir(path.c_str(), 0777) == -1) {
            if (errno == EEXIST) {
                return false;
            }
            failWithErrno(errno);
        }
        return true;
    }

    ProcessIdentity thisProcess() override {
        ProcessIdentity identity;
        identity.process = ::getpid();
        char name[256] = {};
        if (::gethostname(name, sizeof name - 1) == 0) {
            identity.computer = name;
        }
        identity.machine = posixMachineIdentity();
        return identity;
    }

    bool processRunning(long long process) override {
        // A process of another user answers "not permitted", but runs.
        return process > 0 && (::kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM);
    }

private:
    bool appendsByHand(Handle handle) {
        const std::lock_guard lock(mutex_);
        return appendedByHand_.contains(fdOf(handle));
    }

    std::mutex mutex_;
    // Files of OpenMode::Write opened without O_APPEND.
    std::set<int> appendedByHand_;
};

}  // namespace

FileSystem& systemFileSystem() {
    static PosixFileSystem system;
    return system;
}

std::tm localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return local;
}

}  // namespace scanforms::textfile
