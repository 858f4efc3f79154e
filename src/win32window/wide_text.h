// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The window's texts are bytes, one character each (the single-byte code page
// of the files and the scanner). They cross into the Windows API as Latin-1,
// each byte the UTF-16 unit of the same value, as they cross into Qt on Linux,
// so every byte value comes back unchanged. Names the system gives (serial
// ports, folders) are UTF-8 on our side (win32/win32_text.h).

#include <string>
#include <string_view>

namespace scanforms::win32 {

inline std::wstring fromBytes(std::string_view bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    }
    return text;
}

// Characters the operator typed beyond Latin-1 become '?'.
inline std::string toBytes(std::wstring_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const wchar_t unit : text) {
        bytes.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    }
    return bytes;
}

}  // namespace scanforms::win32
