// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// What the simulated scanner does: answers the host's commands and plays its
// script, with no device underneath. The simulator carries out each step on
// the pseudo-terminal.
//
//   setup string --> init result (not detected, late or garbled when the script says so)
//   READ, Read, Read N --> a read is outstanding
//   RECOVER ------------> the outstanding read, if any, is dropped
//   script item -------> sent when its moment comes (see script.h)

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "script.h"

namespace scanner_sim {

class ScannerModel {
public:
    explicit ScannerModel(std::vector<ScriptItem> script);

    // A command line from the host; returns the bytes to send back, due
    // answerDelay() from now.
    std::string onCommand(std::string_view line);
    std::chrono::milliseconds answerDelay() const { return answerDelay_; }

    enum class Action {
        Wait,          // nothing can happen until the host sends something
        Send,          // send `bytes`
        LineSettings,  // send a notice of the line settings seen on the device end
        HangUp,        // close the device end, once the host has read all sent
    };
    struct Step {
        Action action = Action::Wait;
        std::string bytes;
    };

    // The step the current item asks for now, without taking it.
    Step next() const;
    // The current item's step was carried out.
    void taken();

    bool readOutstanding() const { return readOutstanding_; }
    bool finished() const { return cursor_ == script_.size(); }

private:
    const ScriptItem* current() const;

    std::vector<ScriptItem> script_;
    std::size_t cursor_ = 0;
    bool readOutstanding_ = false;
    std::chrono::milliseconds answerDelay_{0};
};

}  // namespace scanner_sim
