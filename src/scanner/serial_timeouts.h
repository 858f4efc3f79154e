// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Every wait of the scanner component, and the bounds of the one the
// settings file may change (Platform::setupAnswerTimeout).

#include <chrono>
#include <string>
#include <string_view>

namespace scanforms::scanner {

// Longest time from a frame's first byte to its last, whatever trickles in
// between. At 9600 baud a sheet's frame takes about 0.27 s and the longest
// frame about 1.2 s.
inline constexpr std::chrono::milliseconds kFrameTimeout{3000};

// How long the component waits for the answer to the setup string before it
// reports that no scanner answered. The operator is told to switch the
// scanner on right before pressing Initialize Scanner, and many devices take
// seconds to wake; a scanner that is off or on another port never answers.
inline constexpr std::chrono::seconds kSetupAnswerTimeout{10};
inline constexpr std::chrono::seconds kShortestSetupAnswerTimeout{1};
inline constexpr std::chrono::seconds kLongestSetupAnswerTimeout{120};

// The setup wait a settings file's value asks for: a whole number of seconds
// in those bounds, blanks around it allowed. Any other value gives the
// default, and `problem` says why ("SetupAnswerTimeout=abc is not ...").
std::chrono::milliseconds setupAnswerTimeoutOf(std::string_view value, std::string& problem);

// How often an open port checks that its device is still there (a USB
// adapter unplugged, a pseudo-terminal whose far end was closed).
inline constexpr std::chrono::milliseconds kDeviceWatchInterval{500};

}  // namespace scanforms::scanner
