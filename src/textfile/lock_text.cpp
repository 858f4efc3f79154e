// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/lock_text.h"

#include <algorithm>
#include <random>

namespace scanforms::textfile {
namespace {

constexpr char kFirstLine[] = "scanforms folder lock";
constexpr std::size_t kHeartbeatDigits = 12;
constexpr std::size_t kLongestNumber = 18;

bool allDigits(std::string_view text) {
    return !text.empty() && text.size() <= kLongestNumber &&
           std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

// The value of the line "<key>=<value>" at `at`, which moves past it.
std::optional<std::string_view> field(std::string_view text, std::size_t& at,
                                      std::string_view key) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != '=') {
        return std::nullopt;
    }
    return line.substr(key.size() + 1);
}

}  // namespace

std::string lockText(const LockHolder& holder) {
    std::string heartbeat = std::to_string(holder.heartbeat);
    heartbeat.insert(0, kHeartbeatDigits - std::min(kHeartbeatDigits, heartbeat.size()), '0');
    return std::string(kFirstLine) + "\nhost=" + holder.identity.computer +
           "\nmachine=" + holder.identity.machine +
           "\nprocess=" + std::to_string(holder.identity.process) + "\ntoken=" + holder.token +
           "\nrefresh-ms=" + std::to_string(holder.refreshInterval.count()) +
           "\nheartbeat=" + heartbeat + '\n';
}

std::optional<LockHolder> parseLockText(std::string_view text) {
    const std::size_t firstEnd = text.find('\n');
    if (firstEnd == std::string_view::npos || text.substr(0, firstEnd) != kFirstLine) {
        return std::nullopt;
    }
    std::size_t at = firstEnd + 1;
    const auto host = field(text, at, "host");
    const auto machine = field(text, at, "machine");
    const auto process = field(text, at, "process");
    const auto token = field(text, at, "token");
    const auto refresh = field(text, at, "refresh-ms");
    const auto heartbeat = field(text, at, "heartbeat");
    if (!host || !machine || !process || !token || !refresh || !heartbeat || !allDigits(*process) ||
        token->empty() || !allDigits(*refresh) || !allDigits(*heartbeat) || at != text.size()) {
        return std::nullopt;
    }
    LockHolder holder;
    holder.identity.computer = *host;
    holder.identity.machine = *machine;
    holder.identity.process = std::stoll(std::string(*process));
    holder.token = *token;
    holder.refreshInterval = std::chrono::milliseconds(std::stoll(std::string(*refresh)));
    holder.heartbeat = std::stoull(std::string(*heartbeat));
    return holder;
}

std::string newLockToken() {
    std::random_device entropy;
    std::uniform_int_distribution<int> digit(0, 15);
    std::string token;
    for (int i = 0; i < 32; ++i) {
        token += "0123456789abcdef"[digit(entropy)];
    }
    return token;
}

std::string holderText(const ProcessIdentity& identity) {
    return "the computer " + identity.computer + " (process " + std::to_string(identity.process) +
           ")";
}

}  // namespace scanforms::textfile
