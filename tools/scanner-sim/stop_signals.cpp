// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "stop_signals.h"

namespace scanner_sim {
namespace {

volatile sig_atomic_t stopSignal = 0;

extern "C" void onStopSignal(int number) {
    stopSignal = number;
}

}  // namespace

StopSignals::StopSignals() {
    stopSignal = 0;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, &previousTerm_);
    sigaction(SIGINT, &action, &previousInt_);

    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    sigprocmask(SIG_BLOCK, &stops, &previousMask_);
    waitMask_ = previousMask_;
    sigdelset(&waitMask_, SIGTERM);
    sigdelset(&waitMask_, SIGINT);
}

StopSignals::~StopSignals() {
    sigprocmask(SIG_SETMASK, &previousMask_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
    sigaction(SIGINT, &previousInt_, nullptr);
}

bool StopSignals::stopRequested() const {
    return stopSignal != 0;
}

}  // namespace scanner_sim
