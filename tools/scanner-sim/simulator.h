// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The simulator's loop: one pseudo-terminal, the host's commands in, the
// script's frames out, until SIGTERM or SIGINT.
//
//   host --commands--> PseudoTerminal --CommandSplitter--> CommandLog
//                                                      \-> ScannerModel
//   ScannerModel --steps--> PacedOutput --frames--> PseudoTerminal --> host
//   HANGUP: link removed, PseudoTerminal closed; a second later a new one,
//           the link pointed at it and its path printed

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "command_log.h"
#include "device_link.h"
#include "options.h"
#include "paced_output.h"
#include "pseudo_terminal.h"
#include "scanner_model.h"
#include "script.h"
#include "wire/wire_protocol.h"

namespace scanner_sim {

// How long the cable stays pulled on HANGUP.
inline constexpr std::chrono::seconds kHangUpPause{1};
// How long the line must have been quiet, with nothing unread, before a
// hang-up counts the host as having read everything.
inline constexpr std::chrono::milliseconds kHostSettle{50};

class Simulator {
public:
    // Device paths are printed to `paths`, one a line, flushed at once.
    Simulator(const Options& options, std::vector<ScriptItem> script, std::FILE* paths);

    // Serves until SIGTERM or SIGINT; returns the exit status.
    int run();

private:
    void openDevice();
    void readCommands(Clock::time_point now);
    void playScript(Clock::time_point now);
    bool hostCaughtUp(Clock::time_point now) const;
    std::optional<Clock::time_point> wakeUp(Clock::time_point now) const;

    std::FILE* paths_;
    DeviceLink link_;
    CommandLog log_;
    PacedOutput output_;
    ScannerModel model_;
    scanforms::wire::CommandSplitter splitter_;
    std::unique_ptr<PseudoTerminal> device_;
    std::optional<Clock::time_point> reopenAt_;
    bool waitingForHost_ = false;
    // A late setup answer and when it is due.
    std::optional<std::pair<Clock::time_point, std::string>> lateAnswer_;
};

}  // namespace scanner_sim
