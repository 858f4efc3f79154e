// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// A scanner the test plays itself on scanner-sim's pseudo-terminal: it sends
// bytes when the test says, at the pace the test sets, and can vanish for
// good.
//
//   test --send/trickle--> PseudoTerminal --> devicePath --> component
//   component --commands--> PseudoTerminal --> commands()

#include <QTimer>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "pseudo_terminal.h"
#include "wire/wire_protocol.h"

namespace scanforms::testing {

class PlayedScanner {
public:
    PlayedScanner();

    const std::string& devicePath() const { return terminal_->path(); }
    // Every command line received so far.
    std::vector<std::string> commands();
    void send(const std::string& bytes);
    // `bytes` one at a time, the first now and then one every `pace`;
    // trickled() tells how many have gone.
    void trickle(const std::string& bytes, std::chrono::milliseconds pace);
    std::size_t trickled() const { return trickled_; }
    // Closes the pseudo-terminal: the device is gone and does not come back.
    void vanish();

private:
    void sendNextByte();

    std::optional<scanner_sim::PseudoTerminal> terminal_;
    wire::CommandSplitter splitter_;
    std::vector<std::string> received_;
    std::string trickling_;
    std::size_t trickled_ = 0;
    QTimer pace_;
};

}  // namespace scanforms::testing
