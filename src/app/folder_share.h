// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// A station folder on a file system that keeps what the program writes on
// this computer until the file is closed (the GNOME desktop's SMB client,
// gvfs, through its FUSE mount) is named to the operator before the window
// opens: a sync there does not reach the server, so a record is safe only
// once Done has closed Scan.TXT.
//
//   /proc/self/mounts --mountTypeOf(current directory)--> "fuse.gvfsd-fuse"
//     --holdsWritesUntilClose--> one box

#include <optional>
#include <string>
#include <string_view>

namespace scanforms::app {

// The type of the file system that holds `directory` (an absolute path, links
// resolved), from a mount table in the layout of /proc/self/mounts: the
// deepest mount point that contains it, the later line where one folder was
// mounted over. Nothing when no line holds it.
std::optional<std::string> mountTypeOf(std::string_view mountTable, std::string_view directory);

// Whether a file system of that type keeps written data on this computer
// until the file is closed.
bool holdsWritesUntilClose(std::string_view type);

// Shows the one box when the current directory is on such a file system; does
// nothing where the system has no mount table (Windows) or it cannot be read.
void warnOfFolderThatHoldsWrites();

}  // namespace scanforms::app
