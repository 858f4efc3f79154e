// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "app/folder_share.h"

#include <QDir>
#include <QLoggingCategory>
#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

#include "common/failure.h"
#include "serial/serial_log.h"
#include "textfile/file_system.h"
#include "window/latin1.h"
#include "window/message_box.h"

namespace scanforms::app {
namespace {

Q_LOGGING_CATEGORY(lcFolder, "scanforms.folder", QtInfoMsg)

// gvfs's FUSE mount: written data stay in a file of this computer until
// close, and a "set to now" time change is lost.
constexpr std::array kTypesHoldingWrites{std::string_view("fuse.gvfsd-fuse")};

constexpr char kHoldsWritesAfterFolder[] =
    " is on a share that the desktop reaches through gvfs, which keeps what Scan Forms writes "
    "on this computer until the file is closed: the records of a batch reach the server only "
    "after Done. For a station folder, use a share the system mounts (CIFS), or a folder of "
    "this computer.";

// A mount point as the table writes it: a blank, tab, newline or backslash
// in a name is written as a backslash and three octal digits.
std::string unescaped(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](std::size_t at) {
            return at < field.size() && field[at] >= '0' && field[at] <= '7';
        };
        if (field[i] == '\\' && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

bool holds(std::string_view mountPoint, std::string_view directory) {
    if (!directory.starts_with(mountPoint)) {
        return false;
    }
    return mountPoint.ends_with('/') || directory.size() == mountPoint.size() ||
           directory[mountPoint.size()] == '/';
}

}  // namespace

std::optional<std::string> mountTypeOf(std::string_view mountTable, std::string_view directory) {
    std::optional<std::string> type;
    std::size_t deepest = 0;
    std::istringstream lines{std::string(mountTable)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string device;
        std::string mountPoint;
        std::string fileSystem;
        if (!(fields >> device >> mountPoint >> fileSystem)) {
            continue;
        }
        mountPoint = unescaped(mountPoint);
        if (holds(mountPoint, directory) && mountPoint.size() >= deepest) {
            deepest = mountPoint.size();
            type = fileSystem;
        }
    }
    return type;
}

bool holdsWritesUntilClose(std::string_view type) {
    return std::find(kTypesHoldingWrites.begin(), kTypesHoldingWrites.end(), type) !=
           kTypesHoldingWrites.end();
}

void warnOfFolderThatHoldsWrites() {
    std::ifstream table("/proc/self/mounts", std::ios::binary);
    if (!table) {
        return;
    }
    std::ostringstream text;
    text << table.rdbuf();
    std::optional<std::string> type;
    try {
        type = mountTypeOf(text.str(), textfile::systemFileSystem().currentDirectory());
    } catch (const Failure&) {
        return;  // a folder that is gone fails at the lock, with its own box
    }
    if (!type || !holdsWritesUntilClose(*type)) {
        return;
    }
    qCWarning(lcFolder).noquote() << "the folder is on a file system of the type"
                                  << serial::loggable(*type)
                                  << "that keeps written data on this computer until close";
    window::showMessageBox(
        nullptr,
        "The folder " + window::toBytes(QDir::toNativeSeparators(QDir::currentPath())) +
            kHoldsWritesAfterFolder,
        BoxStyle::Information, std::nullopt);
}

}  // namespace scanforms::app
