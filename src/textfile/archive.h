// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// A copy of a file of the current directory kept before the file is emptied,
// so that the records of the last batch survive the start of the next one.
//
//   Scan.TXT --copy--> ScanArchive/Scan-20261207-091530.TXT (new, synced)

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textfile/file_system.h"

namespace scanforms::textfile {

// The name of an archive copy of `name` taken at `localTime`, the `copy`-th
// of that second: "Scan.TXT" gives "Scan-20261207-091530.TXT" for the first
// and "Scan-20261207-091530-2.TXT" for the second.
std::string archiveName(std::string_view name, const std::tm& localTime, int copy);

// Copies the file `name` of the current directory to a new file in the
// directory `folder` of the current directory, which is created when it is
// missing, and returns the copy's path. Names are matched without regard to
// letter case, as for TextFiles. The copy is named by archiveName; a name
// already taken is never written over, the next number is tried instead.
//
// A file identical to the newest copy of `name` in the folder (the latest
// second, then the highest number) is not copied again: that copy's path is
// returned, so a Start Scanning pressed again after a failure keeps one copy.
//
// Only a regular file that holds at least one byte is copied: a missing or
// empty file, or a device in its place, has nothing to keep, and nothing is
// returned. Before this returns, the copy and its entry are on the disk, and
// so is the folder's entry when the folder was created.
//
// Any failure, including something other than a directory where the folder
// should be, raises scanforms::Failure with an operator's description that
// names the file or folder it failed on ("Path/File access error: ScanArchive
// is not a folder"); the file itself is only ever read, and no partial copy
// is left behind.
std::optional<std::string> archiveFile(std::string_view name, std::string_view folder,
                                       const std::tm& localTime,
                                       FileSystem& fs = systemFileSystem());

// One entry of the current directory kept by archiveEverySpelling.
struct KeptCopy {
    std::string spelling;  // the entry's name in the current directory
    std::string copy;      // the copy's path
};

// archiveFile for every spelling of `name` the current directory lists (a
// case-insensitive share may list "scan.txt" beside "SCAN.TXT"), the exact
// spelling first; each copy is named after `name`. Stops at the first
// failure, which names the file it failed on.
std::vector<KeptCopy> archiveEverySpelling(std::string_view name, std::string_view folder,
                                           const std::tm& localTime,
                                           FileSystem& fs = systemFileSystem());

}  // namespace scanforms::textfile
