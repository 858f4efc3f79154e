// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The FileSystem backend over the Win32 API: the only file of the text-record
// layer that makes the system's file calls on Windows (windows_text.cpp turns
// names and error codes into bytes and words).
//
// Paths are the program's bytes in the ANSI code page; they are widened for
// the wide-character calls, and the names of a folder and the current
// directory come back narrowed the same way. Every file is opened sharing
// reading, writing and deleting, so that other programs may read a record
// file while it grows, and may rename or remove it as they could on POSIX;
// TextFiles then sees that the name no longer leads to the file it opened.

#include <windows.h>

#include <algorithm>
#include <ctime>

#include "common/failure.h"
#include "textfile/file_name.h"
#include "textfile/file_system.h"
#include "textfile/windows_text.h"

namespace scanforms::textfile {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The most bytes asked of one ReadFile or WriteFile call.
constexpr std::size_t kLongestTransfer = 1u << 30;

[[noreturn]] void failWith(DWORD error) {
    throw Failure(describeWindowsError(error));
}

[[noreturn]] void failWithLastError() {
    failWith(GetLastError());
}

HANDLE win32Handle(Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

Handle handleOf(HANDLE handle) {
    return reinterpret_cast<Handle>(handle);
}

// Closes a handle of this file's own calls when it goes out of scope.
class OwnHandle {
public:
    explicit OwnHandle(HANDLE handle) : handle_(handle) {}
    ~OwnHandle() { CloseHandle(handle_); }
    OwnHandle(const OwnHandle&) = delete;
    OwnHandle& operator=(const OwnHandle&) = delete;

    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

std::uint64_t joined(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

// A file time counts 100-nanosecond steps from 1601.
std::int64_t unixSecondsOf(FILETIME time) {
    constexpr std::int64_t kStepsPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const auto steps = static_cast<std::int64_t>(joined(time.dwHighDateTime, time.dwLowDateTime));
    return steps / kStepsPerSecond - kSecondsFrom1601To1970;
}

FileStatus statusOf(HANDLE handle) {
    FileStatus status;
    switch (GetFileType(handle)) {
        case FILE_TYPE_DISK:
            break;
        case FILE_TYPE_CHAR:
            // NUL, CON, a serial port: nothing names such a device but its name.
            status.type = FileType::CharacterDevice;
            return status;
        case FILE_TYPE_UNKNOWN:
            if (const DWORD error = GetLastError(); error != NO_ERROR) {
                failWith(error);
            }
            return status;
        default:
            return status;  // a pipe or a socket
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        failWithLastError();
    }
    status.type = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileType::Directory
                                                                          : FileType::Regular;
    status.device = info.dwVolumeSerialNumber;
    status.file = joined(info.nFileIndexHigh, info.nFileIndexLow);
    status.size = static_cast<long long>(joined(info.nFileSizeHigh, info.nFileSizeLow));
    status.modifiedSeconds = unixSecondsOf(info.ftLastWriteTime);
    return status;
}

class WindowsFileSystem final : public FileSystem {
public:
    std::string currentDirectory() override {
        std::wstring buffer(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length =
                GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
            if (length == 0) {
                failWithLastError();
            }
            if (length < buffer.size()) {
                buffer.resize(length);
                break;
            }
            buffer.resize(length);  // the size it needs, its closing null included
        }
        std::optional<std::string> directory = narrow(buffer);
        if (!directory) {
            throw Failure("Bad file name");  // a folder the code page cannot spell
        }
        return *directory;
    }

    std::vector<std::string> entryNames(const std::string& directory) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW(widen(pathIn(directory, "*")).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            if (std::optional<std::string> name = narrow(found.cFileName)) {
                names.push_back(std::move(*name));
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

    std::optional<FileStatus> status(const std::string& path) override {
        // Reading attributes only: no other program's sharing can refuse it,
        // and a folder opens too.
        const HANDLE handle =
            CreateFileW(widen(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
                return std::nullopt;
            }
            failWith(error);
        }
        const OwnHandle guard(handle);
        return statusOf(handle);
    }

    FileStatus status(Handle handle) override { return statusOf(win32Handle(handle)); }

    Handle open(const std::string& path, OpenMode mode) override {
        const bool write = mode != OpenMode::Read;
        // A folder opens for reading, as on POSIX, so that the caller refuses
        // it in its own words.
        const HANDLE handle = CreateFileW(
            widen(path).c_str(), write ? GENERIC_WRITE | FILE_READ_ATTRIBUTES : GENERIC_READ,
            kShareAll, nullptr, mode == OpenMode::Write ? CREATE_ALWAYS : OPEN_EXISTING,
            write ? FILE_ATTRIBUTE_NORMAL : FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            failWithLastError();
        }
        return handleOf(handle);
    }

    std::optional<Handle> createNew(const std::string& path) override {
        const HANDLE handle =
            CreateFileW(widen(path).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, kShareAll,
                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
                return std::nullopt;
            }
            failWith(error);
        }
        return handleOf(handle);
    }

    std::size_t read(Handle handle, char* buffer, std::size_t size) override {
        DWORD done = 0;
        const auto wanted = static_cast<DWORD>(std::min(size, kLongestTransfer));
        if (!ReadFile(win32Handle(handle), buffer, wanted, &done, nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE) {
                return 0;
            }
            failWith(error);
        }
        return done;
    }

    void write(Handle handle, std::string_view bytes) override {
        const HANDLE file = win32Handle(handle);
        // On a file, every write goes to its end as it is then, like O_APPEND
        // on POSIX: an offset of all ones means the end of the file. A device
        // takes no offset.
        const bool disk = GetFileType(file) == FILE_TYPE_DISK;
        std::size_t done = 0;
        while (done < bytes.size()) {
            OVERLAPPED atEnd{};
            atEnd.Offset = 0xFFFFFFFF;
            atEnd.OffsetHigh = 0xFFFFFFFF;
            const auto wanted = static_cast<DWORD>(std::min(bytes.size() - done, kLongestTransfer));
            DWORD written = 0;
            if (!WriteFile(file, bytes.data() + done, wanted, &written, disk ? &atEnd : nullptr)) {
                failWithLastError();
            }
            if (written == 0) {
                failWith(ERROR_DISK_FULL);
            }
            done += written;
        }
    }

    void syncData(Handle handle) override {
        if (!FlushFileBuffers(win32Handle(handle))) {
            failWithLastError();
        }
    }

    bool truncate(Handle handle, long long size) override {
        FILE_END_OF_FILE_INFO end{};
        end.EndOfFile.QuadPart = size;
        return SetFileInformationByHandle(win32Handle(handle), FileEndOfFileInfo, &end,
                                          sizeof end) != 0;
    }

    void writeAt(Handle handle, long long offset, std::string_view bytes) override {
        windowsWriteAt(win32Handle(handle), offset, bytes);
    }

    void close(Handle handle) override { CloseHandle(win32Handle(handle)); }

    // A rename is written through before it returns (see rename). A new
    // entry reaches the disk when its folder is flushed like a file, which
    // takes a handle that may write; a file system that flushes no folder,
    // or a folder the program may add to but not open so, leaves the entries
    // to the system, as POSIX does for a folder it may not read.
    void syncDirectory(const std::string& directory) override {
        const HANDLE handle =
            CreateFileW(widen(directory).c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_ACCESS_DENIED) {
                return;
            }
            failWith(error);
        }
        const OwnHandle folder(handle);
        if (!FlushFileBuffers(folder.get())) {
            const DWORD error = GetLastError();
            if (error != ERROR_ACCESS_DENIED && error != ERROR_INVALID_FUNCTION) {
                failWith(error);
            }
        }
    }

    // Written through: the move is on the disk before this returns, so the
    // folder of a replaced file needs no flush of its own.
    bool rename(const std::string& from, const std::string& to) override {
        if (MoveFileExW(widen(from).c_str(), widen(to).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        // A share that renames only onto a free name refuses while `to` is
        // there; the folder itself is writable, since `from` was just made.
        const DWORD error = GetLastError();
        const bool refusal = error == ERROR_ACCESS_DENIED || error == ERROR_ALREADY_EXISTS ||
                             error == ERROR_FILE_EXISTS || error == ERROR_NOT_SUPPORTED;
        if (refusal && GetFileAttributesW(widen(to).c_str()) != INVALID_FILE_ATTRIBUTES) {
            return false;
        }
        failWith(error);
    }

    Placement placeUnderFreeName(const std::string& from, const std::string& to) override {
        return windowsPlaceUnderFreeName(widen(from), widen(to));
    }

    void remove(const std::string& path) override { DeleteFileW(widen(path).c_str()); }

    bool makeDirectory(const std::string& path) override {
        if (!CreateDirectoryW(widen(path).c_str(), nullptr)) {
            const DWORD error = GetLastError();
            if (error == ERROR_ALREADY_EXISTS) {
                return false;
            }
            failWith(error);
        }
        return true;
    }

    ProcessIdentity thisProcess() override { return windowsProcessIdentity(); }
    bool processRunning(long long process) override { return windowsProcessRunning(process); }
};

}  // namespace

FileSystem& systemFileSystem() {
    static WindowsFileSystem system;
    return system;
}

std::tm localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    return local;
}

}  // namespace scanforms::textfile
