// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// A hidden message-only window (HWND_MESSAGE) on the thread that makes it:
// the one door through which work reaches that thread's event loop.
//
//   any thread --post(work)--> queue --PostMessage--> window procedure --> work()
//   owner's thread --startTimer(id, wait)--> SetTimer --> WM_TIMER --> callback
//
// Work runs in the order it was posted, one piece at a time, from the
// thread's message loop, never inside the call that posted it. Once closed
// (with its platform), work posted is dropped and timers are gone. Shared by
// the platform, its links and its timers, so that a reader thread's late post
// finds a closed window rather than a destroyed one.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

namespace scanforms::win32 {

class MessageWindow {
public:
    MessageWindow();
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // From any thread.
    void post(std::function<void()> work);

    // From the owner's thread only. A timer calls `onTimeout` once, no sooner
    // than `wait` after it started.
    std::uintptr_t addTimer(std::function<void()> onTimeout);
    void startTimer(std::uintptr_t id, std::chrono::milliseconds wait);
    void stopTimer(std::uintptr_t id);
    bool timerActive(std::uintptr_t id) const;
    void removeTimer(std::uintptr_t id);
    void close();

private:
    struct PendingTimer {
        std::function<void()> onTimeout;
        bool active = false;
        std::chrono::steady_clock::time_point due;
    };

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void runPosted();
    void timerFired(std::uintptr_t id);
    void arm(std::uintptr_t id, std::chrono::steady_clock::duration left);

    HWND window_ = nullptr;
    std::mutex queueLock_;
    std::deque<std::function<void()>> queue_;
    bool wakeQueued_ = false;
    std::map<std::uintptr_t, PendingTimer> timers_;
    std::uintptr_t nextTimer_ = 1;
};

}  // namespace scanforms::win32
