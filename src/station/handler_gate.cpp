// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "station/handler_gate.h"

namespace scanforms {

void HandlerGate::run(Handler handler) {
    if (closed_) {
        return;
    }
    waiting_.push_back(std::move(handler));
    if (busy_) {
        return;
    }
    busy_ = true;
    struct Release {
        bool& busy;
        ~Release() { busy = false; }
    } release{busy_};
    while (!waiting_.empty() && !closed_) {
        Handler next = std::move(waiting_.front());
        waiting_.pop_front();
        next();
    }
}

void HandlerGate::close() {
    closed_ = true;
    waiting_.clear();
}

}  // namespace scanforms
