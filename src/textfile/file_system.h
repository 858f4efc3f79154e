// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The file-system calls of the text-record files, behind one small interface.
// Each platform has one backend file that makes these calls; everything above
// it (file names, TextFiles, the archive copy) is the same on every platform.
// Tests wrap the system's backend to see the order of the calls or to make
// one of them fail.
//
//   TextFiles, archiveFile, currentDirectoryFile --> FileSystem --> the system
//
// A failing call raises scanforms::Failure with the operator's description
// ("Disk full", "Permission denied", ...); the few outcomes the callers decide
// on are results instead (a name that is taken, a path that names nothing).

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scanforms::textfile {

// An open file of the backend.
using Handle = std::intptr_t;

enum class FileType { Regular, Directory, CharacterDevice, Other };

struct FileStatus {
    FileType type = FileType::Other;
    // Together they name the file itself, whatever path leads to it.
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    long long size = 0;
    // The last change of its data, in seconds since 1970 (UTC).
    std::int64_t modifiedSeconds = 0;

    bool sameFileAs(const FileStatus& other) const {
        return device == other.device && file == other.file;
    }
};

enum class OpenMode {
    Read,    // an existing file
    Write,   // created, or emptied when it exists; every write goes to its end
    Update,  // an existing file, kept as it is, to be cut back
};

// The program's own process and the computer it runs on, as a folder lock
// names them. Two processes with one `machine` see each other's process
// numbers; an empty `machine` is known to be no other's.
struct ProcessIdentity {
    long long process = 0;
    std::string computer;  // the host name, for the operator
    std::string machine;   // the system's identity and its space of process numbers
};

// What placing a file under a free name did.
enum class Placement {
    Placed,       // the file now has that name
    NameTaken,    // nothing changed: another file has that name
    Unsupported,  // nothing changed: the file system cannot place without replacing
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual std::string currentDirectory() = 0;
    // The names in `directory`; none when it cannot be read.
    virtual std::vector<std::string> entryNames(const std::string& directory) = 0;

    // What `path` leads to, links followed; nothing when no file has that path.
    virtual std::optional<FileStatus> status(const std::string& path) = 0;
    virtual FileStatus status(Handle handle) = 0;

    // Opening never waits for the other end of a pipe or a device.
    virtual Handle open(const std::string& path, OpenMode mode) = 0;
    // A new file for writing; nothing when the name is already taken.
    virtual std::optional<Handle> createNew(const std::string& path) = 0;
    // Up to `size` bytes; 0 at the end of the file.
    virtual std::size_t read(Handle handle, char* buffer, std::size_t size) = 0;
    // All of `bytes`, or a failure.
    virtual void write(Handle handle, std::string_view bytes) = 0;
    // The file's data reach the disk before this returns.
    virtual void syncData(Handle handle) = 0;
    // Best effort: false when the file keeps its size.
    virtual bool truncate(Handle handle, long long size) = 0;
    // All of `bytes` at `offset`, whatever the file's position.
    virtual void writeAt(Handle handle, long long offset, std::string_view bytes) = 0;
    virtual void close(Handle handle) = 0;

    // The directory's entries (files created, renamed or removed in it) reach
    // the disk before this returns.
    virtual void syncDirectory(const std::string& directory) = 0;
    // Puts `from` in the place of `to`, replacing whatever file was there.
    // False, with nothing changed, when the file system refuses to rename
    // onto a name that is taken (some shares rename only onto a free name).
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    // Gives the file `from` the name `to` only while no file has it, in one
    // step: no one ever sees `to` naming a half-made file.
    virtual Placement placeUnderFreeName(const std::string& from, const std::string& to) = 0;
    // Best effort: a file left behind is no failure of the caller's.
    virtual void remove(const std::string& path) = 0;
    // False when something already has that path.
    virtual bool makeDirectory(const std::string& path) = 0;

    virtual ProcessIdentity thisProcess() = 0;
    // Whether a process of this computer with that number runs now.
    virtual bool processRunning(long long process) = 0;
};

// The backend of the system the program runs on.
FileSystem& systemFileSystem();

// The local date and time now, from the system's clock and time zone.
std::tm localTimeNow();

// Closes a handle when it goes out of scope, unless it was released.
class HandleGuard {
public:
    HandleGuard(FileSystem& fs, Handle handle) : fs_(fs), handle_(handle) {}
    ~HandleGuard() {
        if (handle_) {
            fs_.close(*handle_);
        }
    }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;

    Handle get() const { return *handle_; }
    Handle release() {
        const Handle handle = *handle_;
        handle_.reset();
        return handle;
    }

private:
    FileSystem& fs_;
    std::optional<Handle> handle_;
};

// All the bytes of the file at `path`.
inline std::string readWholeFile(FileSystem& fs, const std::string& path) {
    constexpr std::size_t kChunk = 64 * 1024;
    HandleGuard file(fs, fs.open(path, OpenMode::Read));
    std::string bytes;
    std::string buffer(kChunk, '\0');
    while (const std::size_t n = fs.read(file.get(), buffer.data(), buffer.size())) {
        bytes.append(buffer.data(), n);
    }
    return bytes;
}

// The new file that is to take the place of the file at `path`, beside it.
inline std::string replacementOf(const std::string& path) {
    return path + ".new";
}

// Makes replacementOf(path) new and empty. One already there was left by a
// replacement cut short: it never took the file's place and holds nothing
// anyone relies on, so it is removed and made again, once.
Handle createReplacement(FileSystem& fs, const std::string& path);

}  // namespace scanforms::textfile
