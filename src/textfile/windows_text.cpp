// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Names and failure texts of the Windows backend, apart from its calls.

#include "textfile/windows_text.h"

#include <windows.h>

#include <climits>

#include "common/failure.h"

namespace scanforms::textfile {
namespace {

// ERROR_DISK_QUOTA_EXCEEDED, which not every SDK's headers name.
constexpr DWORD kDiskQuotaExceeded = 1295;

// The system's own text for a code no operator's word covers, like
// strerror on POSIX.
std::string systemMessage(DWORD error) {
    char text[512] = {};
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
        nullptr, error, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "Error " + std::to_string(error) : message;
}

}  // namespace

std::string describeWindowsError(unsigned long error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return "File not found";
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_DIRECTORY:
            return "Path not found";
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_NETWORK_ACCESS_DENIED:
            return "Permission denied";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
        case kDiskQuotaExceeded:
        case ERROR_FILE_TOO_LARGE:
            return "Disk full";
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return "Bad file name";
        case ERROR_TOO_MANY_OPEN_FILES:
            return "Too many files";
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return "File already exists";
        case ERROR_CRC:
        case ERROR_SEEK:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_WRITE_FAULT:
        case ERROR_READ_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE:
            return "Device I/O error";
        case ERROR_NOT_READY:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_DEVICE_NOT_CONNECTED:
            return "Device unavailable";
        default:
            return systemMessage(error);
    }
}

std::wstring widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > INT_MAX) {
        throw Failure("Bad file name");
    }
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (size <= 0) {
        throw Failure(describeWindowsError(GetLastError()));
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
    return wide;
}

std::optional<std::string> narrow(std::wstring_view wide) {
    if (wide.empty()) {
        return std::string();
    }
    if (wide.size() > INT_MAX) {
        return std::nullopt;
    }
    // A UTF-8 code page spells every name and takes no default character.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    BOOL* const lossyOut = utf8 ? nullptr : &lossy;
    const int size =
        WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, lossyOut);
    if (size <= 0 || lossy) {
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), length, text.data(), size, nullptr, lossyOut);
    if (lossy) {
        return std::nullopt;
    }
    return text;
}

}  // namespace scanforms::textfile
