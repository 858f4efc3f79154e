// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "scanner/frame_input.h"

#include "scanner/platform.h"

namespace scanforms::scanner {

std::optional<wire::DecodeResult> FrameInput::next(DeviceLink* device) {
    for (;;) {
        // Also with the chunk used up: the decoder may hold a bad frame's
        // bytes to decode again.
        std::string_view rest = unread();
        const std::size_t before = rest.size();
        auto decoded = decoder_.next(rest);
        used_ += before - rest.size();
        if (decoded) {
            return decoded;
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

HeldInput FrameInput::held(std::string_view waiting, bool readOwed) const {
    wire::FrameDecoder decoder = decoder_;
    const std::string bytes = std::string(unread()) + std::string(waiting);
    std::string_view rest = bytes;
    HeldInput held;
    while (const auto decoded = decoder.next(rest)) {
        const auto* frame = std::get_if<wire::Frame>(&*decoded);
        if (frame == nullptr || frame->type == wire::FrameType::Notice ||
            frame->type == wire::FrameType::InitResult) {
            // These answer no read. Bad bytes may be a sheet torn on the
            // line: the read stays open, and the tray is to be checked.
            continue;
        }
        readOwed = false;
        if (frame->type == wire::FrameType::Sheet) {
            held.sheets.push_back(frame->text);
        }
    }
    if (const auto frame = decoder.frameUnderWay();
        frame && frame->type == wire::FrameType::Sheet) {
        held.partialSheet = frame->payload;
    }
    using InFlight = HeldInput::InFlight;
    held.inFlight = decoder.midFrame() ? InFlight::PartialFrame
                    : readOwed         ? InFlight::ReadUnanswered
                                       : InFlight::Nothing;
    return held;
}

std::string_view FrameInput::unread() const {
    return std::string_view(chunk_).substr(used_);
}

}  // namespace scanforms::scanner
