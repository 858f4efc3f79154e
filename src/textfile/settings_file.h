// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// A settings file that an administrator may have written by hand, changed by
// the program without losing a byte of what it does not change:
//
//   the file --read whole--> edit(text) (ini_lines.h) --> a new file beside
//       it, synced --renamed over it--> the file, its folder synced
//
// The file is the new text whole or the old one: never a torn mix. A missing
// file (and its missing folders) is made. A file the edit cannot be trusted
// with is refused unchanged: not a regular file, larger than
// kLargestSettingsFile, unreadable, or not text (a control byte other than
// tab, CR, LF or NUL: a binary file's mark).

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "textfile/file_system.h"

namespace scanforms::textfile {

inline constexpr std::size_t kLargestSettingsFile = 1024 * 1024;

using SettingsEdit = std::function<std::string(std::string_view text)>;

// Nothing once the file holds what `edit` made of it (or was left as it was
// because the edit changed nothing), else why not, as "the settings file
// <path> is not a text file".
std::optional<std::string> editSettingsFile(const std::string& path, const SettingsEdit& edit,
                                            FileSystem& fs = systemFileSystem());

}  // namespace scanforms::textfile
