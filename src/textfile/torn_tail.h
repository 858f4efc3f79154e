// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The record file as a crash or a power cut may leave it: whole lines and the
// start of a line whose write did not finish. At start-up that torn tail is
// kept in the archive with the rest of the file, then cut off.
//
//   Scan.TXT --checkRecordLayout--> whole lines + torn tail
//            --archiveFile--> ScanArchive/Scan-....TXT (the file as it was)
//            --cut back, synced--> whole lines

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "textfile/file_system.h"

namespace scanforms::textfile {

enum class RecordLayout {
    // Missing, empty, or not a regular file: nothing to look at.
    NoRecords,
    // Whole lines, each of the record's length, one quoted field first and
    // a quote before its CR LF.
    WholeLines,
    // Whole lines, then a tail shorter than a line that begins like one and
    // lacks its CR LF: a record whose write did not finish.
    TornTail,
    // Anything else (other line lengths, LF line ends, an editor's file):
    // not the station's to change.
    Foreign,
};

struct LayoutCheck {
    RecordLayout layout = RecordLayout::NoRecords;
    long long wholeBytes = 0;  // the bytes of the whole lines
    long long tailBytes = 0;   // TornTail: the bytes after them
};

// The layout of `bytes` with lines of `lineBytes` bytes, CR LF included.
LayoutCheck checkRecordLayout(std::string_view bytes, std::size_t lineBytes);

struct TailCut {
    LayoutCheck found;
    // TornTail: the archive copy that keeps the file as it was, tail included.
    std::string keptIn;
};

// Looks at the file `name` of the current directory; when it ends in a torn
// tail, copies the whole file into the directory `folder` (see archiveFile)
// and only then cuts the tail off and syncs the file. Any other file is only
// read, its time stamps included. A failure raises scanforms::Failure naming
// the file; the file is then as it was.
TailCut cutTornTail(std::string_view name, std::string_view folder, std::size_t lineBytes,
                    const std::tm& localTime, FileSystem& fs = systemFileSystem());

}  // namespace scanforms::textfile
