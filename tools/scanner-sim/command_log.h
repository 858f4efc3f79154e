// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

namespace scanner_sim {

// Appends every command received to a file, one line each, exactly as it
// came without its terminator; each line is on disk before the next command
// is read. Without a path it records nothing.
class CommandLog {
public:
    explicit CommandLog(const std::string& path);
    ~CommandLog();
    CommandLog(const CommandLog&) = delete;
    CommandLog& operator=(const CommandLog&) = delete;

    void record(std::string_view command);

private:
    int fd_ = -1;
};

}  // namespace scanner_sim
