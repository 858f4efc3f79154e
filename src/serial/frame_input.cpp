// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/frame_input.h"

#include "serial/device_port.h"

namespace scanforms::serial {

std::optional<wire::DecodeResult> FrameInput::next(DevicePort* device) {
    for (;;) {
        std::string_view rest = unread();
        if (!rest.empty()) {
            const std::size_t before = rest.size();
            auto decoded = decoder_.next(rest);
            used_ += static_cast<qsizetype>(before - rest.size());
            if (decoded) {
                return decoded;
            }
        }
        if (device == nullptr || !device->hasInput()) {
            return std::nullopt;
        }
        chunk_ = device->read();
        used_ = 0;
    }
}

void FrameInput::clear() {
    decoder_.reset();
    chunk_.clear();
    used_ = 0;
}

std::string_view FrameInput::unread() const {
    return {chunk_.constData() + used_, static_cast<std::size_t>(chunk_.size() - used_)};
}

}  // namespace scanforms::serial
