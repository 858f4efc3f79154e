// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <signal.h>

namespace scanner_sim {

// SIGTERM and SIGINT, held back except while the simulator waits in ppoll,
// where they interrupt the wait; the simulator then ends cleanly.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal mask to wait with.
    const sigset_t* waitMask() const { return &waitMask_; }
    bool stopRequested() const;

private:
    sigset_t previousMask_{};
    sigset_t waitMask_{};
    struct sigaction previousTerm_ {};
    struct sigaction previousInt_ {};
};

}  // namespace scanner_sim
