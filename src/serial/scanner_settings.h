// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The component's waits a site may change, in the settings file the port
// map reads (port_map.h), looked up anew each time:
//
//   [scanner]
//   SetupAnswerTimeout=10      seconds, 1 to 120
//
// A value that is no whole number of seconds in that range is logged, and
// the default (scanner/serial_timeouts.h) used.

#include <chrono>

namespace scanforms::serial {

std::chrono::milliseconds setupAnswerTimeout();

}  // namespace scanforms::serial
