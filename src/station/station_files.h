// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The station's files, by number and by name, for the handlers that share
// them.

namespace scanforms {

// File numbers: the one file being written, and the one file being read.
inline constexpr int kWrittenFile = 1;
inline constexpr int kReadFile = 2;

inline constexpr char kRecordFileName[] = "Scan.TXT";
// The port file is read and written under two spellings of one name.
inline constexpr char kPortFileReadName[] = "Com.TXT";
inline constexpr char kPortFileWriteName[] = "com.TXT";
inline constexpr char kFlagFileName[] = "FormsFlag.TXT";
// Where the last batch is kept before Start Scanning empties Scan.TXT.
inline constexpr char kArchiveFolder[] = "ScanArchive";

}  // namespace scanforms
