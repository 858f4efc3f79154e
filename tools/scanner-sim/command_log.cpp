// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "command_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace scanner_sim {

CommandLog::CommandLog(const std::string& path) {
    if (path.empty()) {
        return;
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        throw std::system_error(errno, std::generic_category(), "cannot open the log " + path);
    }
}

CommandLog::~CommandLog() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void CommandLog::record(std::string_view command) {
    if (fd_ < 0) {
        return;
    }
    // One write per line: with O_APPEND a reader never sees half a line.
    std::string line(command);
    line += '\n';
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t written = ::write(fd_, line.data() + done, line.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw std::system_error(errno, std::generic_category(), "cannot write the log");
        }
        done += static_cast<std::size_t>(written);
    }
}

}  // namespace scanner_sim
