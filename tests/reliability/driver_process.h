// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Runs station_driver as a child process in the current directory, with port
// 1 pointed at a device, and ends it the hard way.

#include <sys/types.h>

#include <string>

namespace scanforms::testing {

class DriverProcess {
public:
    explicit DriverProcess(const std::string& device);
    ~DriverProcess();
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;

    bool running();
    // SIGKILL, then waits for the end (the kernel ends it at once).
    void kill();
    // What it printed on standard output and standard error.
    std::string output() const;

private:
    pid_t pid_ = -1;
    std::string outputFile_;
};

// The station_driver binary; throws with a clear message when it is missing.
std::string stationDriverPath();

}  // namespace scanforms::testing
