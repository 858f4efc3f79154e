// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "paced_output.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace scanner_sim {
namespace {

// How far pacing may fall behind (a late wake-up) and still catch up at once.
constexpr std::chrono::milliseconds kMaxCatchUp{10};

}  // namespace

void PacedOutput::push(std::string_view bytes, Clock::time_point now) {
    if (bytes.empty()) {
        return;
    }
    if (empty()) {
        clear();
        nextByte_ = std::max(nextByte_, now);
    }
    queue_.append(bytes);
}

void PacedOutput::clear() {
    queue_.clear();
    sent_ = 0;
}

std::optional<Clock::time_point> PacedOutput::nextDue() const {
    if (empty()) {
        return std::nullopt;
    }
    return paced_ ? nextByte_ : Clock::time_point{};
}

bool PacedOutput::writeDue(int fd, Clock::time_point now) {
    std::size_t due = queue_.size() - sent_;
    if (paced_) {
        if (due == 0 || now < nextByte_) {
            return true;
        }
        nextByte_ = std::max(nextByte_, now - kMaxCatchUp);
        const auto elapsed = now - nextByte_;
        due = std::min<std::size_t>(due, static_cast<std::size_t>(elapsed / kByteTime) + 1);
    }
    while (due > 0) {
        const ssize_t written = ::write(fd, queue_.data() + sent_, due);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno == EAGAIN || errno == EWOULDBLOCK;
        }
        const auto count = static_cast<std::size_t>(written);
        sent_ += count;
        due -= count;
        lastWrite_ = now;
        if (paced_) {
            nextByte_ += kByteTime * static_cast<long>(count);
        }
    }
    if (empty()) {
        clear();
    }
    return true;
}

}  // namespace scanner_sim
