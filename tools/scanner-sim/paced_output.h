// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The bytes waiting to go to the host. Unpaced, they go as fast as the device
// end takes them; paced, one byte every kByteTime, as a 9600-baud line with
// 8N2 framing (start bit, 8 data bits, 2 stop bits: 11 bits a byte) carries
// them.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace scanner_sim {

using Clock = std::chrono::steady_clock;

inline constexpr int kBitsPerByte = 11;
inline constexpr int kBaud = 9600;
inline constexpr std::chrono::nanoseconds kByteTime{1'000'000'000LL * kBitsPerByte / kBaud};

class PacedOutput {
public:
    explicit PacedOutput(bool paced) : paced_(paced) {}

    void push(std::string_view bytes, Clock::time_point now);
    bool empty() const { return queue_.size() == sent_; }
    void clear();

    // Writes to `fd` what is due by `now`, as much as the device end takes.
    // Returns false when the device end refused with an error other than
    // "try again".
    bool writeDue(int fd, Clock::time_point now);

    // When the next byte is due; nothing when the queue is empty.
    std::optional<Clock::time_point> nextDue() const;
    Clock::time_point lastWrite() const { return lastWrite_; }

private:
    bool paced_;
    std::string queue_;
    std::size_t sent_ = 0;
    Clock::time_point nextByte_{};
    Clock::time_point lastWrite_{};
};

}  // namespace scanner_sim
