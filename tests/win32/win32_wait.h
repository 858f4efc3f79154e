// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Waiting in a Windows test: the thread's messages are dispatched (so the
// platform's posted work, timers and link events run) until a condition
// holds or the deadline passes.

#include <windows.h>

#include <chrono>
#include <functional>

namespace scanforms::testing {

inline bool pumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        if (condition()) {
            return true;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        // Wakes for a message, or after a few milliseconds for a condition
        // that no message announces (a file that appears).
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left.count() < 5 ? DWORD(left.count()) : 5,
                                  QS_ALLINPUT);
    }
}

}  // namespace scanforms::testing
