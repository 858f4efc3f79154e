#pragma once

#include <string>
#include <string_view>

namespace scanforms::textfile {

// The current directory as the system reports it at this moment.
// Raises a Failure when it cannot be read (for example, it was removed).
std::string currentDirectory();

// Finds the entry of `directory` that `name` means when names are matched
// without regard to ASCII letter case. Among several entries differing only
// in case, the first in byte order is taken, whichever spelling is asked for,
// so that every spelling of a name reads and writes one and the same file.
// Returns `name` itself when no entry matches, so that a new file is created
// under the spelling the program uses.
std::string matchEntryName(const std::string& directory, std::string_view name);

// The full path of `name` in the current directory: the directory joined with
// the matching entry name by the platform's separator.
std::string currentDirectoryFile(std::string_view name);

}  // namespace scanforms::textfile
