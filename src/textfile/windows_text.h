// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The Windows backend's side of names and failures: a path of the program's
// bytes becomes the wide-character name the system calls take, a name the
// system gives back becomes bytes again, and an error code becomes the
// operator's words. Also the processes the folder lock names.
//
//   C:\Station\Scan.TXT (bytes) --widen--> L"C:\Station\Scan.TXT" --> Win32 call
//   a folder's names, the current directory --narrow--> bytes
//   GetLastError() --describeWindowsError--> "Disk full"

#include <optional>
#include <string>
#include <string_view>

#include "textfile/file_system.h"

namespace scanforms::textfile {

// `text` in the system's ANSI code page, as UTF-16.
std::wstring widen(const std::string& text);

// `wide` in the ANSI code page; nothing when the code page has no exact
// spelling for it, since a name spelt otherwise would lead to another file
// or to none.
std::optional<std::string> narrow(std::wstring_view wide);

// The operator's words for a system error code: the POSIX backend's words
// for the same cause ("File not found", "Permission denied", "Disk full",
// ...), and the system's own text, like strerror's, for any other.
std::string describeWindowsError(unsigned long error);

// This process and the computer's name; whether a process of this computer
// with that number runs now (windows_process.cpp).
ProcessIdentity windowsProcessIdentity();
bool windowsProcessRunning(long long process);
// The folder lock's own file calls (windows_process.cpp).
void windowsWriteAt(void* handle, long long offset, std::string_view bytes);
Placement windowsPlaceUnderFreeName(const std::wstring& from, const std::wstring& to);

}  // namespace scanforms::textfile
