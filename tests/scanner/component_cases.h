// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanner component's cases that hold on every platform, and the one
// driver that plays them. Each platform's runner starts scanner-sim with the
// case's script on a device of its own, opens a ScannerComponent on Com7
// there, and hands the driver its event loop and the simulator's log:
//
//   kComponentCases[i].script --> scanner-sim --> the device Com7 opens
//   runComponentCase: setUp or READ --> the component --> RecordingEvents
//     (answered as the Scan window does) --> compared with the case's events,
//     its time bound and the simulator's command log
//
// The runner maps Com7 and writes settingsFileText(row) as the site's
// settings file before the component opens.

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "recording_events.h"
#include "scanner/scanner_component.h"

namespace scanforms::testing {

inline constexpr std::int16_t kComponentPort = 7;

enum class CaseDrive {
    // The setup string; the case ends with its answer.
    SetUp,
    // READ, then as the window answers: Read after a sheet with a response,
    // Recover and Read after a fault (Recover tried again until a lost
    // device is back).
    Read,
    // Nothing asked; the simulator ends, taking its device with it (an
    // adapter pulled while the line is quiet).
    DeviceEnds,
};

struct ComponentCase {
    const char* name;
    const char* script;
    // The site's setup wait in seconds; 0 for the default.
    int setupWaitSeconds;
    CaseDrive drive;
    // Every event raised, in order. In a text "{port}" stands for
    // "Com7 (<device>)"; a text ending in "*" need only begin so.
    std::vector<Raised> events;
    // From the first command to the first event, in milliseconds.
    int firstEventFromMs;
    int firstEventToMs;
    // The simulator's command log at the end.
    std::vector<std::string> commands;
};

inline void PrintTo(const ComponentCase& row, std::ostream* out) {
    *out << row.name;
}

extern const std::vector<ComponentCase> kComponentCases;

// The settings file's bytes for `row`.
std::string settingsFileText(const ComponentCase& row);

// What a runner gives the driver: its event loop run until a condition holds
// or a deadline passes, the simulator's command log, and the simulator ended.
struct CaseSite {
    std::function<bool(const std::function<bool()>&, std::chrono::milliseconds)> waitFor;
    std::function<std::vector<std::string>()> commandLog;
    std::function<void()> endDevice;
};

// Plays `row` on an open component; failures are the calling test's.
void runComponentCase(const ComponentCase& row, scanner::ScannerComponent& component,
                      RecordingEvents& events, const CaseSite& site);

}  // namespace scanforms::testing
