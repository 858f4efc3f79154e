// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/archive.h"

#include <string>
#include <utility>

#include "common/failure.h"
#include "textfile/file_name.h"

namespace scanforms::textfile {
namespace {

constexpr std::size_t kCopyChunk = 64 * 1024;
// More copies than any station makes in one second; past it something else
// is taking the names.
constexpr int kMostCopiesPerSecond = 999;

// "Scan.TXT" gives "Scan" and ".TXT".
std::pair<std::string_view, std::string_view> stemAndExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return {name.substr(0, dot), dot == std::string_view::npos ? "" : name.substr(dot)};
}

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

// Where an archive name of `name` puts it among the copies: its second, then
// its number of that second; nothing for a name archiveName does not give.
std::optional<std::pair<std::string, int>> archiveOrder(std::string_view entry,
                                                        std::string_view name) {
    const auto [stem, extension] = stemAndExtension(name);
    constexpr std::size_t kStampLength = 15;  // 20261207-091530
    if (entry.size() < stem.size() + 1 + kStampLength + extension.size() ||
        !entry.starts_with(stem) || entry[stem.size()] != '-' || !entry.ends_with(extension)) {
        return std::nullopt;
    }
    const std::string_view middle = entry.substr(
        stem.size() + 1, entry.size() - stem.size() - 1 - extension.size());
    const std::string_view stamp = middle.substr(0, kStampLength);
    std::string_view number = middle.substr(kStampLength);
    const auto digits = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digits(stamp.substr(0, 8)) || stamp[8] != '-' || !digits(stamp.substr(9))) {
        return std::nullopt;
    }
    if (number.empty()) {
        return std::pair{std::string(stamp), 1};
    }
    if (number[0] != '-' || !digits(number.substr(1)) || number.size() > 4) {
        return std::nullopt;
    }
    return std::pair{std::string(stamp), std::stoi(std::string(number.substr(1)))};
}

// The newest copy of `name` in the archive folder when it holds the same
// bytes as `source` (of `size` bytes).
std::optional<std::string> newestCopyIfSame(const std::string& source, long long size,
                                            std::string_view name, std::string_view folder,
                                            FileSystem& fs) {
    const std::string directory = currentDirectoryFile(folder, fs);
    std::optional<std::pair<std::string, int>> newest;
    std::string newestName;
    for (const std::string& entry : fs.entryNames(directory)) {
        const auto order = archiveOrder(entry, name);
        if (order && (!newest || *order > *newest)) {
            newest = order;
            newestName = entry;
        }
    }
    if (!newest) {
        return std::nullopt;
    }
    const std::string copy = pathIn(directory, newestName);
    std::string copied;
    try {
        const std::optional<FileStatus> status = fs.status(copy);
        if (!status || status->type != FileType::Regular || status->size != size) {
            return std::nullopt;
        }
        copied = readWholeFile(fs, copy);
    } catch (const Failure&) {
        return std::nullopt;  // a copy that cannot be read is no copy to rely on
    }
    std::string original;
    namingOnFailure(lastPartOf(source), [&] { original = readWholeFile(fs, source); });
    return original == copied ? std::optional(copy) : std::nullopt;
}

std::optional<std::string> archiveEntry(const std::string& source, std::string_view name,
                                        std::string_view folder, const std::tm& localTime,
                                        FileSystem& fs) {
    std::optional<FileStatus> found;
    namingOnFailure(lastPartOf(source), [&] { found = fs.status(source); });
    if (!found || found->type != FileType::Regular || found->size == 0) {
        return std::nullopt;
    }
    if (auto same = newestCopyIfSame(source, found->size, name, folder, fs)) {
        return same;
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

}  // namespace

std::string archiveName(std::string_view name, const std::tm& localTime, int copy) {
    const auto [stem, extension] = stemAndExtension(name);
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
    return archiveEntry(currentDirectoryFile(name, fs), name, folder, localTime, fs);
}

std::vector<KeptCopy> archiveEverySpelling(std::string_view name, std::string_view folder,
                                           const std::tm& localTime, FileSystem& fs) {
    std::vector<KeptCopy> kept;
    const std::string directory = fs.currentDirectory();
    for (const std::string& spelling : entrySpellings(directory, name, fs)) {
        if (auto copy = archiveEntry(pathIn(directory, spelling), name, folder, localTime, fs)) {
            kept.push_back({spelling, std::move(*copy)});
        }
    }
    return kept;
}

}  // namespace scanforms::textfile
