// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <chrono>

namespace scanforms::serial {

// Longest time from a frame's first byte to its last. At 9600 baud a sheet's
// frame takes about 0.27 s and the longest frame about 1.2 s.
inline constexpr std::chrono::milliseconds kFrameTimeout{3000};

// How long the component waits for the answer to the setup string before it
// reports that no scanner answered. At 9600 baud a scanner answers within
// milliseconds; a scanner that is off or on another port never does.
inline constexpr std::chrono::milliseconds kSetupAnswerTimeout{3000};

// How often an open port checks that its device is still there (a USB
// adapter unplugged, a pseudo-terminal whose far end was closed).
inline constexpr std::chrono::milliseconds kDeviceWatchInterval{500};

}  // namespace scanforms::serial
