// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The Windows program's log: lines appended to one file of bounded size.
//
//   %LOCALAPPDATA%\scanforms\scanforms.log
//   2026-12-08 20:12:00.123 warning scanforms.serial: COM3: ...
//
// Once the file reaches 1 MiB it becomes scanforms.log.old (replacing the
// one before) and a new file starts, so the log never holds more than about
// 2 MiB. A line that cannot be written is dropped: the log never stops the
// station.

#include <string>
#include <string_view>

namespace scanforms::win32 {

class LogFile {
public:
    // The file at `path`, its folder made when missing.
    explicit LogFile(std::string path);

    // The user's log file.
    static std::string defaultPath();

    // `line` is UTF-8 and one line already; `level` is "debug", "info", ...
    void append(std::string_view level, std::string_view category, std::string_view line);

private:
    std::string path_;
};

}  // namespace scanforms::win32
