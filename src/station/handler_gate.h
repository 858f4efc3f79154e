// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <deque>
#include <functional>

namespace scanforms {

// Runs the window's handlers one at a time, each to its end. A handler that
// arrives while another is running (a scanner event during a modal message
// box, say) waits in order and runs after the running one returns.
class HandlerGate {
public:
    using Handler = std::function<void()>;

    void run(Handler handler);
    // Drops every waiting handler and refuses new ones: the program has ended.
    void close();
    bool busy() const { return busy_; }

private:
    std::deque<Handler> waiting_;
    bool busy_ = false;
    bool closed_ = false;
};

}  // namespace scanforms
