// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Texts between the station and the Windows API: the station's UTF-8 bytes
// become the wide strings the system's calls take, the system's wide
// strings become UTF-8, and an error code becomes the system's own message
// for it, in the language the user's Windows speaks.
//
//   "COM12" --toWide--> L"COM12" --> CreateFileW
//   GetLastError() --systemMessage--> "Access is denied."

#include <string>
#include <string_view>

namespace scanforms::win32 {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

// The system's message for `error` on one line; "error N" when the system
// has none.
std::string systemMessage(unsigned long error);

// The value of an environment variable, as UTF-8; empty when it is not set.
std::string environmentVariable(const std::string& name);

}  // namespace scanforms::win32
