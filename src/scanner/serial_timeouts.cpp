// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "scanner/serial_timeouts.h"

#include <charconv>

#include "common/log_text.h"

namespace scanforms::scanner {

std::chrono::milliseconds setupAnswerTimeoutOf(std::string_view value, std::string& problem) {
    const auto first = value.find_first_not_of(" \t");
    const std::string_view text =
        first == std::string_view::npos
            ? std::string_view()
            : value.substr(first, value.find_last_not_of(" \t") + 1 - first);
    long long seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size() &&
        seconds >= kShortestSetupAnswerTimeout.count() &&
        seconds <= kLongestSetupAnswerTimeout.count()) {
        return std::chrono::seconds(seconds);
    }
    problem = "[scanner] SetupAnswerTimeout=" + logText(value) +
              " is not a whole number of seconds from " +
              std::to_string(kShortestSetupAnswerTimeout.count()) + " to " +
              std::to_string(kLongestSetupAnswerTimeout.count()) + "; the default, " +
              std::to_string(kSetupAnswerTimeout.count()) + " s, is used";
    return kSetupAnswerTimeout;
}

}  // namespace scanforms::scanner
