// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The description of the Failure an action raises, for comparing it whole.

#include <functional>
#include <string>

#include "common/failure.h"

namespace scanforms::testing {

inline std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return "(no failure)";
}

}  // namespace scanforms::testing
