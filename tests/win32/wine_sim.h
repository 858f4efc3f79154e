// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// scanner-sim for a Windows test under Wine: the Linux simulator started
// from the Windows side (Wine runs a Linux program that CreateProcess names),
// on the pseudo-terminal that wine-comm-run.sh mapped a COM port to.
//
//   wine-comm-run.sh: HKLM\Software\Wine\Ports COMn = <folder>/scanner
//   WineSim(script) --/bin/sh--> scanner-sim --link <folder>/scanner
//   test --CreateFileW("\\.\COMn")--> Wine --> the link --> /dev/pts/N
//
// The folder, the port and the simulator come from wine-comm-run.sh's
// variables; a test run without them fails saying so.

#include <chrono>
#include <string>
#include <vector>

namespace scanforms::testing {

class WineSim {
public:
    explicit WineSim(const std::string& script);
    ~WineSim();
    WineSim(const WineSim&) = delete;
    WineSim& operator=(const WineSim&) = delete;

    // The COM port mapped to the simulator's device, "COM12".
    static std::string port();
    // Ends it (SIGTERM) and waits for its device to go.
    void stop();
    // Whether its device is there now.
    static bool deviceThere();
    // The commands it logged, one a line.
    static std::vector<std::string> logLines();

private:
    bool running_ = false;
};

}  // namespace scanforms::testing
