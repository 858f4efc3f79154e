// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The names of the text-record files: a name the program uses ("Scan.TXT")
// becomes the path of the one entry of the current directory that it means.

#include <string>
#include <string_view>
#include <vector>

#include "textfile/file_system.h"

namespace scanforms::textfile {

// Finds the entry of `directory` that `name` means when names are matched
// without regard to ASCII letter case. An entry spelt exactly as asked is
// the one meant: beside the Scan.TXT the grading program reads, a SCAN.TXT
// must not take the records. Otherwise, among several entries differing
// only in case, the first in byte order is taken. Returns `name` itself when
// no entry matches, so that a new file is created under the spelling the
// program uses.
std::string matchEntryName(const std::string& directory, std::string_view name,
                           FileSystem& fs = systemFileSystem());

// Every entry of `directory` that `name` means when case is ignored: the
// exact spelling first, then the others in byte order.
std::vector<std::string> entrySpellings(const std::string& directory, std::string_view name,
                                        FileSystem& fs = systemFileSystem());

// The full path of `name` in the current directory: the directory joined with
// the matching entry name by the platform's separator.
std::string currentDirectoryFile(std::string_view name, FileSystem& fs = systemFileSystem());

// `name` in `directory`, joined by the platform's separator.
std::string pathIn(const std::string& directory, std::string_view name);
// The directory a path is in, and the last part of a path.
std::string parentOf(const std::string& path);
std::string lastPartOf(const std::string& path);

}  // namespace scanforms::textfile
