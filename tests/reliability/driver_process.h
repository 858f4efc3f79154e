// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Runs station_driver as a child process in the current directory, with port
// 1 pointed at a device, and ends it the hard way.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace scanforms::testing {

class SimProcess;

class DriverProcess {
public:
    // How it is started beyond the device: a program that runs it (say,
    // unshare) and variables added to the environment.
    struct Launch {
        std::vector<std::string> wrapper;
        std::vector<std::string> environment;
    };
    // What it prints goes to `outputFile`, by default driver-output.txt in
    // the current directory.
    explicit DriverProcess(const std::string& device, const std::string& outputFile = {},
                           const Launch& launch = {});
    ~DriverProcess();
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;

    bool running();
    void signal(int number);
    // The exit status once it ended by itself; -1 while it runs or when killed.
    int exitStatus() const { return exitStatus_; }
    // SIGKILL, then `whileDying` (what the end may wait for), then waits for
    // the end (the kernel ends it at once).
    void kill(const std::function<void()>& whileDying = {});
    // What it printed on standard output and standard error.
    std::string output() const;

private:
    pid_t pid_ = -1;
    int exitStatus_ = -1;
    std::string outputFile_;
};

// The station_driver binary; throws with a clear message when it is missing.
std::string stationDriverPath();

// A seed for a random test: the number in the environment variable
// `variable` when it is set (to repeat a run), else a fresh one.
std::uint32_t chooseSeed(const char* variable);

// The simulator's command log once every command a killed station wrote has
// come through the pseudo-terminal.
std::vector<std::string> settledLog(SimProcess& sim);

}  // namespace scanforms::testing
