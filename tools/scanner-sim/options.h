// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace scanner_sim {

// scanner-sim [--link PATH] [--log FILE] [--wire-speed] SCRIPT
struct Options {
    std::string link;  // a symbolic link made to point at the device end; empty: none
    std::string log;   // the command log; empty: none
    bool wireSpeed = false;
    std::string script;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr char kUsage[] =
    "usage: scanner-sim [--link PATH] [--log FILE] [--wire-speed] SCRIPT";

// Throws UsageError for anything else.
Options parseOptions(const std::vector<std::string>& arguments);

}  // namespace scanner_sim
