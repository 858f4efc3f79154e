// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Any bytes from the scanner, cut into any pieces: the frame decoder never
// crashes, gives the same frames and errors however the bytes were cut,
// every frame it gives is well formed (a known type, a payload within the
// limit, encoding it again decodes to the same frame), and one run of bad
// bytes gives one error: after an error, the next needs a frame begun since.
//
// Input: the first byte picks the cut (a seed for the piece sizes); the rest
// is the byte stream.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "wire/wire_protocol.h"

using namespace scanforms::wire;

namespace {

constexpr std::size_t kLargestPiece = 64;

bool wellFormed(const Frame& frame) {
    if (!isFrameType(static_cast<char>(frame.type)) || frame.text.size() > kMaxPayload) {
        return false;
    }
    FrameDecoder again;
    const std::vector<DecodeResult> decoded = again.feed(encodeFrame(frame));
    return decoded.size() == 1 && decoded[0] == DecodeResult(frame) && !again.midFrame();
}

std::vector<DecodeResult> feedInPieces(std::string_view stream, std::uint8_t seed,
                                       FrameDecoder& decoder) {
    std::vector<DecodeResult> results;
    std::uint32_t state = seed * 2654435761u + 1;
    while (!stream.empty()) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const std::size_t piece = std::min<std::size_t>(stream.size(), 1 + state % kLargestPiece);
        for (auto& result : decoder.feed(stream.substr(0, piece))) {
            results.push_back(std::move(result));
        }
        stream.remove_prefix(piece);
    }
    return results;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

    FrameDecoder whole;
    const std::vector<DecodeResult> expected = whole.feed(stream);
    if (expected.size() > stream.size()) {
        std::abort();  // every result takes at least one byte
    }

    FrameDecoder cut;
    if (feedInPieces(stream, data[0], cut) != expected || cut.midFrame() != whole.midFrame() ||
        cut.framesBegun() != whole.framesBegun()) {
        std::abort();
    }

    // Byte by byte, so each result is tied to the byte that completed it.
    FrameDecoder single;
    std::vector<DecodeResult> oneByOne;
    bool skipping = false;  // an error was given and no frame was begun since
    std::uint64_t begunAtError = 0;
    for (const char byte : stream) {
        std::string_view piece(&byte, 1);
        while (auto result = single.next(piece)) {
            if (const auto* frame = std::get_if<Frame>(&*result)) {
                if (!wellFormed(*frame)) {
                    std::abort();
                }
            } else {
                const FrameError error = std::get<FrameError>(*result);
                if (skipping && single.framesBegun() == begunAtError) {
                    std::abort();
                }
                // An unreadable initialization result ends a whole frame: the
                // decoder is between frames again, not skipping.
                skipping = error != FrameError::BadInitResult && !single.midFrame();
                begunAtError = single.framesBegun();
                if (describe(error).empty()) {
                    std::abort();
                }
            }
            oneByOne.push_back(std::move(*result));
        }
    }
    if (oneByOne != expected) {
        std::abort();
    }
    return 0;
}
