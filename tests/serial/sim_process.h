// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Runs scanner-sim for a test: a fresh directory with the script, the
// command log and the device link; the device path read from its standard
// output; SIGTERM at the end.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace scanforms::testing {

inline constexpr std::chrono::seconds kSimStartTimeout{10};

class SimProcess {
public:
    struct Setup {
        std::string script;
        bool wireSpeed = false;
        std::vector<std::string> extraArguments;
        bool expectDevice = true;  // wait for the first device path
    };

    explicit SimProcess(const Setup& setup);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The first device path it printed.
    const std::string& devicePath() const { return firstPath_; }
    const std::string& linkPath() const { return link_; }
    const std::string& directory() const { return directory_; }

    // Every device path printed so far (reads what is waiting, never blocks).
    std::vector<std::string> paths();
    // The command log, one entry a line.
    std::vector<std::string> logLines() const;

    // Sends `signal` and waits (with a deadline) for the exit; returns the
    // exit status, or -1 when it did not end in time (it is then killed).
    int stop(int signal);
    // Waits for an exit it makes by itself (a bad script); same result.
    int waitForExit();
    std::string errors() const;

private:
    void readOutput();

    std::string directory_;
    std::string link_;
    std::string log_;
    pid_t pid_ = -1;
    int output_ = -1;
    std::string outputText_;
    std::string firstPath_;
};

// Bytes as a script line holds them: NUL, CR, LF and backslash escaped,
// every other byte as it stands.
std::string scriptText(const std::string& bytes);

// The scanner-sim binary; fails the calling test clearly when it is missing.
std::string simulatorPath();

}  // namespace scanforms::testing
