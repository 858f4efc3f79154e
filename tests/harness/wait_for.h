// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Waiting on a station from outside it: the Qt event loop runs until a
// condition holds or a deadline passes, so the window, the serial component
// and the scanner's pseudo-terminal go on working meanwhile. The condition is
// checked every few milliseconds, or as often as the caller asks.

#include <chrono>
#include <functional>

namespace scanforms::testing {

// One step of the operator's: a click and what it makes the station show.
inline constexpr std::chrono::seconds kStepDeadline{10};
inline constexpr std::chrono::milliseconds kConditionPoll{5};

// True once `condition` holds; false when the deadline passed first.
bool waitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds deadline = kStepDeadline,
             std::chrono::milliseconds poll = kConditionPoll);

}  // namespace scanforms::testing
