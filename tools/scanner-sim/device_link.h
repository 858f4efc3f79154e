// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

namespace scanner_sim {

// A symbolic link kept pointing at the current device end, so a program
// that opens the link finds the scanner again after a hang-up. Without a
// path it does nothing.
class DeviceLink {
public:
    explicit DeviceLink(std::string path) : path_(std::move(path)) {}
    ~DeviceLink() { remove(); }
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Points the link at `target`, replacing it at once (never missing in
    // between). Refuses to replace anything that is not a symbolic link.
    void pointAt(const std::string& target);
    // Removes the link if it still points where this one left it.
    void remove();

private:
    std::string path_;
    std::string target_;
};

}  // namespace scanner_sim
