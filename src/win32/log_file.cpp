// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32/log_file.h"

#include <windows.h>

#include <cstdio>
#include <utility>

#include "win32/win32_text.h"

namespace scanforms::win32 {
namespace {

constexpr LONGLONG kLargestLog = 1 << 20;

std::string timestamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

}  // namespace

LogFile::LogFile(std::string path) : path_(std::move(path)) {
    const std::size_t folderEnd = path_.find_last_of("\\/");
    if (folderEnd != std::string::npos) {
        CreateDirectoryW(toWide(path_.substr(0, folderEnd)).c_str(), nullptr);
    }
}

std::string LogFile::defaultPath() {
    return environmentVariable("LOCALAPPDATA") + "\\scanforms\\scanforms.log";
}

void LogFile::append(std::string_view level, std::string_view category, std::string_view line) {
    const std::wstring path = toWide(path_);
    WIN32_FILE_ATTRIBUTE_DATA about{};
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &about) &&
        (LONGLONG(about.nFileSizeHigh) << 32 | about.nFileSizeLow) >= kLargestLog) {
        MoveFileExW(path.c_str(), (path + L".old").c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    std::string text = timestamp();
    text.append(" ").append(level).append(" ").append(category).append(": ").append(line);
    text += "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace scanforms::win32
