// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// What the component has read from the device and not raised yet: one chunk
// of bytes and the decoder's place in the frame under way.
//
//   DeviceLink::read --> chunk --> wire::FrameDecoder --> one frame or error at a time
//
// Bytes still waiting in the link are not here: they are read only when
// the chunk is used up, and never while a station handler runs. held()
// decodes the chunk and those bytes on a copy of the decoder, for naming
// what no event will tell of once the station stops listening.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "station/scanner.h"
#include "wire/wire_protocol.h"

namespace scanforms::scanner {

class DeviceLink;

class FrameInput {
public:
    // The next frame or error; reads on from `device` when the chunk is used
    // up, unless `device` is null. Nothing when the input is used up.
    std::optional<wire::DecodeResult> next(DeviceLink* device);
    // Back to nothing read and between frames.
    void clear();

    const wire::FrameDecoder& decoder() const { return decoder_; }
    wire::FrameDecoder& decoder() { return decoder_; }
    // The bytes of the chunk the decoder has not seen yet.
    std::string_view unread() const;
    // The sheets in the chunk and then in `waiting`, and what is on its way
    // after them (a sheet frame begun, with its bytes so far), when
    // `readOwed` a read's outcome was owed before them.
    // Nothing is raised and nothing moves on.
    HeldInput held(std::string_view waiting, bool readOwed) const;

private:
    wire::FrameDecoder decoder_;
    std::string chunk_;
    std::size_t used_ = 0;
};

}  // namespace scanforms::scanner
