// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanner's end of a pseudo-terminal, played inside the measuring
// program: the station's serial component opens the other end as its port.
// It sends frames and reads the station's command lines, driven by the Qt
// event loop the station runs in, so that a measurement holds everything the
// station does between a sheet arriving and its next read command. Like a
// scanner that is there, it answers the setup string with a ready result.

#include <QSocketNotifier>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pseudo_terminal.h"
#include "wire/wire_protocol.h"

namespace scanforms::bench {

class PtyScanner {
public:
    PtyScanner();
    ~PtyScanner();
    PtyScanner(const PtyScanner&) = delete;
    PtyScanner& operator=(const PtyScanner&) = delete;

    // The device the station opens, such as /dev/pts/7.
    const std::string& devicePath() const { return terminal_.path(); }

    void send(std::string_view bytes);
    // Runs the event loop until the station has sent this command line.
    void waitForCommand(std::string_view command);

private:
    void readCommands();

    // The device end stays open in here too, so the line stays up while the
    // station has its port closed.
    scanner_sim::PseudoTerminal terminal_;
    std::unique_ptr<QSocketNotifier> readable_;
    wire::CommandSplitter splitter_;
    std::vector<std::string> received_;
};

}  // namespace scanforms::bench
