// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// What the folder lock file holds: the station that holds the folder, the
// token of its run and the heartbeat it advances on every refresh.
//
//   LockHolder --lockText--> "scanforms folder lock\nhost=...\n...heartbeat=000000000017\n"
//              <--parseLockText-- the file's bytes (nothing when they are no lock)
//
// Every field keeps its length from one heartbeat to the next, so the
// holder rewrites the file in place and a reader never sees it shorter.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "textfile/file_system.h"

namespace scanforms::textfile {

struct LockHolder {
    ProcessIdentity identity;
    // Random for each run: a lock with another token is another run's, even
    // one of the same process number on the same computer.
    std::string token;
    std::uint64_t heartbeat = 0;
    // How often the holder advances its heartbeat.
    std::chrono::milliseconds refreshInterval{0};
};

std::string lockText(const LockHolder& holder);
std::optional<LockHolder> parseLockText(std::string_view text);

// A fresh token for this run: 32 hexadecimal digits.
std::string newLockToken();

// The holder as the operator knows it: "the computer lab-07 (process 4242)".
std::string holderText(const ProcessIdentity& identity);

}  // namespace scanforms::textfile
