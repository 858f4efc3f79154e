// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/settings_file.h"

#include <algorithm>
#include <array>

#include "common/failure.h"
#include "textfile/file_name.h"

namespace scanforms::textfile {
namespace {

bool isTextByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 || c == '\t' || c == '\n' || c == '\r' || c == '\0';
}

// The whole file; a file grown past the largest size while read is cut at
// one byte beyond it, which the caller refuses.
std::string readWhole(FileSystem& fs, const std::string& path) {
    HandleGuard handle(fs, fs.open(path, OpenMode::Read));
    std::string text;
    std::array<char, 8192> buffer{};
    while (text.size() <= kLargestSettingsFile) {
        const std::size_t count = fs.read(handle.get(), buffer.data(), buffer.size());
        if (count == 0) {
            break;
        }
        text.append(buffer.data(), count);
    }
    return text;
}

// Makes the folders of `path` that are missing, outermost first.
void makeFoldersOf(FileSystem& fs, const std::string& path) {
    const std::string folder = parentOf(path);
    if (folder.empty() || folder == path || fs.status(folder)) {
        return;
    }
    makeFoldersOf(fs, folder);
    fs.makeDirectory(folder);
}

void replaceWith(FileSystem& fs, const std::string& path, std::string_view text) {
    makeFoldersOf(fs, path);
    const std::string replacement = replacementOf(path);
    const Handle created = createReplacement(fs, path);
    try {
        HandleGuard handle(fs, created);
        fs.write(handle.get(), text);
        fs.syncData(handle.get());
    } catch (...) {
        fs.remove(replacement);
        throw;
    }
    if (!fs.rename(replacement, path)) {
        fs.remove(replacement);
        throw Failure("its folder's file system renames no file over another");
    }
    fs.syncDirectory(parentOf(path));
}

}  // namespace

std::optional<std::string> editSettingsFile(const std::string& path, const SettingsEdit& edit,
                                            FileSystem& fs) {
    const std::string named = "the settings file " + path;
    std::string text;
    try {
        const std::optional<FileStatus> status = fs.status(path);
        if (status && status->type != FileType::Regular) {
            return named + " is not a regular file";
        }
        if (status) {
            text = readWhole(fs, path);
        }
    } catch (const Failure& failure) {
        return named + " could not be read (" + failure.description() + ")";
    }
    if (text.size() > kLargestSettingsFile) {
        return named + " is larger than " + std::to_string(kLargestSettingsFile) +
               " bytes, too large for a settings file";
    }
    if (!std::all_of(text.begin(), text.end(), isTextByte)) {
        return named + " is not a text file";
    }
    const std::string edited = edit(text);
    if (edited == text) {
        return std::nullopt;
    }
    try {
        replaceWith(fs, path, edited);
    } catch (const Failure& failure) {
        return named + " could not be written (" + failure.description() + ")";
    }
    return std::nullopt;
}

}  // namespace scanforms::textfile
