// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/archive.h"

#include "common/failure.h"
#include "textfile/file_name.h"

namespace scanforms::textfile {
namespace {

constexpr std::size_t kCopyChunk = 64 * 1024;
// More copies than any station makes in one second; past it something else
// is taking the names.
constexpr int kMostCopiesPerSecond = 999;

// The archive folder, created when it is missing. Returns its path.
std::string archiveFolder(std::string_view folder, FileSystem& fs) {
    const std::string path = currentDirectoryFile(folder, fs);
    std::optional<FileStatus> existing;
    namingOnFailure(lastPartOf(path), [&] {
        if (fs.makeDirectory(path)) {
            fs.syncDirectory(parentOf(path));  // the new folder's own entry
            existing = fs.status(path);
        } else {
            existing = fs.status(path);
        }
    });
    if (!existing || existing->type != FileType::Directory) {
        throw Failure("Path/File access error: " + lastPartOf(path) + " is not a folder");
    }
    return path;
}

void copyAll(FileSystem& fs, Handle from, Handle to) {
    std::string buffer(kCopyChunk, '\0');
    while (const std::size_t n = fs.read(from, buffer.data(), buffer.size())) {
        fs.write(to, std::string_view(buffer.data(), n));
    }
}

}  // namespace

std::string archiveName(std::string_view name, const std::tm& localTime, int copy) {
    const std::size_t dot = name.rfind('.');
    const std::string_view stem = name.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? "" : name.substr(dot);
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &localTime);
    std::string result = std::string(stem) + '-' + stamp;
    if (copy > 1) {
        result += '-' + std::to_string(copy);
    }
    return result + std::string(extension);
}

std::optional<std::string> archiveFile(std::string_view name, std::string_view folder,
                                       const std::tm& localTime, FileSystem& fs) {
    const std::string source = currentDirectoryFile(name, fs);
    std::optional<FileStatus> found;
    namingOnFailure(lastPartOf(source), [&] { found = fs.status(source); });
    if (!found || found->type != FileType::Regular || found->size == 0) {
        return std::nullopt;
    }
    std::optional<HandleGuard> from;
    namingOnFailure(lastPartOf(source), [&] { from.emplace(fs, fs.open(source, OpenMode::Read)); });

    const std::string directory = archiveFolder(folder, fs);
    // Failures name the copy as the operator finds it: ScanArchive/Scan-....TXT.
    std::string copy;
    std::optional<Handle> to;
    for (int n = 1; !to; ++n) {
        copy = pathIn(directory, archiveName(name, localTime, n));
        namingOnFailure(pathIn(lastPartOf(directory), lastPartOf(copy)), [&] {
            if (n > kMostCopiesPerSecond) {
                throw Failure("File already exists");
            }
            to = fs.createNew(copy);
        });
    }
    try {
        namingOnFailure(pathIn(lastPartOf(directory), lastPartOf(copy)), [&] {
            {
                HandleGuard guard(fs, *to);
                copyAll(fs, from->get(), guard.get());
                fs.syncData(guard.get());
            }
            fs.syncDirectory(directory);
        });
    } catch (...) {
        fs.remove(copy);
        throw;
    }
    return copy;
}

}  // namespace scanforms::textfile
