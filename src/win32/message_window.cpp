// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32/message_window.h"

#include <utility>

namespace scanforms::win32 {
namespace {

constexpr wchar_t kClassName[] = L"scanforms.MessageWindow";
constexpr UINT kRunPosted = WM_APP + 1;

// SetTimer's waits count in ticks of the system's clock (about 15.6 ms), and
// WM_TIMER may come a tick early; a timer that comes before it is due is set
// again for what is left, so no wait is ever short.
constexpr auto kShortestTimer = std::chrono::milliseconds(USER_TIMER_MINIMUM);

void registerClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

}  // namespace

MessageWindow::MessageWindow() {
    registerClass();
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure));
}

MessageWindow::~MessageWindow() {
    close();
}

void MessageWindow::close() {
    std::deque<std::function<void()>> dropped;
    {
        const std::lock_guard lock(queueLock_);
        dropped.swap(queue_);
        if (window_ != nullptr) {
            SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
            window_ = nullptr;
        }
    }
    timers_.clear();
}

void MessageWindow::post(std::function<void()> work) {
    const std::lock_guard lock(queueLock_);
    if (window_ == nullptr) {
        return;
    }
    queue_.push_back(std::move(work));
    if (!wakeQueued_) {
        wakeQueued_ = PostMessageW(window_, kRunPosted, 0, 0) != 0;
    }
}

void MessageWindow::runPosted() {
    // One piece at a time, the lock not held while it runs: work may post
    // more, or run a modal loop that comes back here.
    for (;;) {
        std::function<void()> work;
        {
            const std::lock_guard lock(queueLock_);
            if (queue_.empty()) {
                wakeQueued_ = false;
                return;
            }
            work = std::move(queue_.front());
            queue_.pop_front();
        }
        work();
    }
}

std::uintptr_t MessageWindow::addTimer(std::function<void()> onTimeout) {
    const std::uintptr_t id = nextTimer_++;
    timers_[id].onTimeout = std::move(onTimeout);
    return id;
}

void MessageWindow::startTimer(std::uintptr_t id, std::chrono::milliseconds wait) {
    const auto found = timers_.find(id);
    if (found == timers_.end() || window_ == nullptr) {
        return;
    }
    found->second.active = true;
    found->second.due = std::chrono::steady_clock::now() + wait;
    arm(id, wait);
}

void MessageWindow::arm(std::uintptr_t id, std::chrono::steady_clock::duration left) {
    auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(left);
    if (milliseconds < kShortestTimer) {
        milliseconds = kShortestTimer;
    }
    SetTimer(window_, id, static_cast<UINT>(milliseconds.count()), nullptr);
}

void MessageWindow::stopTimer(std::uintptr_t id) {
    const auto found = timers_.find(id);
    if (found != timers_.end() && found->second.active) {
        found->second.active = false;
        KillTimer(window_, id);
    }
}

bool MessageWindow::timerActive(std::uintptr_t id) const {
    const auto found = timers_.find(id);
    return found != timers_.end() && found->second.active;
}

void MessageWindow::removeTimer(std::uintptr_t id) {
    stopTimer(id);
    timers_.erase(id);
}

void MessageWindow::timerFired(std::uintptr_t id) {
    const auto found = timers_.find(id);
    if (found == timers_.end() || !found->second.active) {
        KillTimer(window_, id);
        return;
    }
    const auto left = found->second.due - std::chrono::steady_clock::now();
    if (left > std::chrono::steady_clock::duration::zero()) {
        arm(id, left);
        return;
    }
    KillTimer(window_, id);
    found->second.active = false;
    // A copy: the callback may remove its own timer.
    const std::function<void()> onTimeout = found->second.onTimeout;
    onTimeout();
}

LRESULT CALLBACK MessageWindow::procedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == kRunPosted) {
        self->runPosted();
        return 0;
    }
    if (self != nullptr && message == WM_TIMER) {
        self->timerFired(static_cast<std::uintptr_t>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace scanforms::win32
