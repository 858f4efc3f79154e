// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <string>

namespace scanner_sim {

// A pseudo-terminal whose device end (/dev/pts/N) a program opens as its
// serial port. The simulator holds the device end open itself too, so the
// pseudo-terminal lives on, unchanged, across the program's closes and
// re-opens; closing this object is pulling the cable.
class PseudoTerminal {
public:
    // Opens a new pseudo-terminal in raw mode; throws std::system_error.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The simulator's end: read commands from it, write frames to it.
    int fd() const { return master_; }
    // The device end a program opens.
    const std::string& path() const { return path_; }

    // The line settings the device end has, as "9600,n,8,2" (baud, parity
    // n/e/o, data bits, stop bits).
    std::string lineSettings() const;
    // Bytes sent to the device end that no program has read yet.
    std::size_t unread() const;

private:
    int master_ = -1;
    int keeper_ = -1;
    std::string path_;
};

}  // namespace scanner_sim
