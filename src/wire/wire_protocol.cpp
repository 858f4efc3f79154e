// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "wire/wire_protocol.h"

#include <charconv>
#include <stdexcept>

namespace scanforms::wire {
namespace {

bool isDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

std::string payloadOf(const Frame& frame) {
    if (frame.type != FrameType::InitResult) {
        return frame.text;
    }
    std::string payload = std::to_string(frame.result);
    if (!frame.text.empty()) {
        payload += kInitTextSeparator;
        payload += frame.text;
    }
    return payload;
}

// "<result>" or "<result> <diagnostic>", the result a 16-bit signed number.
bool parseInitResult(std::string_view payload, Frame& frame) {
    const std::size_t separator = payload.find(kInitTextSeparator);
    const std::string_view number = payload.substr(0, separator);
    const std::size_t signLength = number.starts_with('-') ? 1 : 0;
    if (number.size() == signLength || number.size() > signLength + 5) {
        return false;
    }
    std::int16_t result = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), result);
    if (error != std::errc() || end != number.data() + number.size()) {
        return false;
    }
    frame.result = result;
    frame.text = separator == std::string_view::npos ? "" : payload.substr(separator + 1);
    return true;
}

}  // namespace

bool isFrameType(char byte) {
    switch (static_cast<FrameType>(byte)) {
        case FrameType::Sheet:
        case FrameType::EndOfBatch:
        case FrameType::InitResult:
        case FrameType::Notice:
        case FrameType::Fault:
            return true;
    }
    return false;
}

std::string describe(FrameError error) {
    switch (error) {
        case FrameError::StrayBytes:
            return "Scanner sent bytes outside a frame";
        case FrameError::BadHeader:
            return "Scanner sent a frame with a bad header";
        case FrameError::Overlong:
            return "Scanner sent a frame longer than " + std::to_string(kMaxPayload) + " bytes";
        case FrameError::MissingEnd:
            return "Scanner sent a frame without its end byte";
        case FrameError::BadInitResult:
            return "Scanner sent an unreadable initialization result";
    }
    return "Scanner sent bytes that make no frame";
}

std::string encodeFrame(const Frame& frame) {
    const std::string payload = payloadOf(frame);
    if (payload.size() > kMaxPayload) {
        throw std::length_error("frame payload of " + std::to_string(payload.size()) +
                                " bytes is over the limit");
    }
    std::string bytes;
    bytes.reserve(payload.size() + 8);
    bytes += kFrameStart;
    bytes += static_cast<char>(frame.type);
    bytes += std::to_string(payload.size());
    bytes += kLengthSeparator;
    bytes += payload;
    bytes += kFrameEnd;
    return bytes;
}

// ---- Decoding ----

std::vector<DecodeResult> FrameDecoder::feed(std::string_view bytes) {
    std::vector<DecodeResult> results;
    while (auto result = next(bytes)) {
        results.push_back(std::move(*result));
    }
    return results;
}

std::optional<DecodeResult> FrameDecoder::next(std::string_view& bytes) {
    while (replayed_ < replay_.size()) {
        if (auto result = step(replay_[replayed_++])) {
            return result;
        }
    }
    replay_.clear();
    replayed_ = 0;
    while (!bytes.empty()) {
        const char byte = bytes.front();
        bytes.remove_prefix(1);
        if (auto result = step(byte)) {
            return result;
        }
    }
    return std::nullopt;
}

bool FrameDecoder::midFrame() const {
    return state_ != State::Between && state_ != State::Skipping;
}

std::optional<FrameDecoder::FrameUnderWay> FrameDecoder::frameUnderWay() const {
    if (state_ != State::Payload && state_ != State::End) {
        return std::nullopt;
    }
    return FrameUnderWay{static_cast<FrameType>(type_),
                         std::string_view(frame_).substr(payloadStart_)};
}

void FrameDecoder::reset() {
    state_ = State::Between;
    frame_.clear();
    replay_.clear();
    replayed_ = 0;
}

void FrameDecoder::skipToNextFrame() {
    resynchronise();
}

void FrameDecoder::beginFrame() {
    state_ = State::Type;
    frame_.clear();
    ++framesBegun_;
}

std::optional<DecodeResult> FrameDecoder::step(char byte) {
    switch (state_) {
        case State::Between:
        case State::Skipping:
            if (byte == kFrameStart) {
                beginFrame();
                return std::nullopt;
            }
            if (state_ == State::Skipping) {
                return std::nullopt;
            }
            return fail(FrameError::StrayBytes, byte);
        case State::Type:
            if (!isFrameType(byte)) {
                return fail(FrameError::BadHeader, byte);
            }
            frame_ += byte;
            type_ = byte;
            length_ = 0;
            digits_ = 0;
            state_ = State::Length;
            return std::nullopt;
        case State::Length: {
            if (byte == kLengthSeparator && digits_ > 0) {
                frame_ += byte;
                payloadStart_ = frame_.size();
                state_ = length_ == 0 ? State::End : State::Payload;
                return std::nullopt;
            }
            if (!isDigit(byte) || digits_ == kMaxLengthDigits) {
                return fail(FrameError::BadHeader, byte);
            }
            const std::size_t length = length_ * 10 + static_cast<std::size_t>(byte - '0');
            if (length > kMaxPayload) {
                return fail(FrameError::Overlong, byte);
            }
            frame_ += byte;
            length_ = length;
            ++digits_;
            return std::nullopt;
        }
        case State::Payload:
            frame_ += byte;
            if (frame_.size() - payloadStart_ == length_) {
                state_ = State::End;
            }
            return std::nullopt;
        case State::End:
            if (byte != kFrameEnd) {
                return fail(FrameError::MissingEnd, byte);
            }
            state_ = State::Between;
            return finish();
    }
    return std::nullopt;
}

DecodeResult FrameDecoder::fail(FrameError error, char byte) {
    // The byte that broke the frame may itself start the next one.
    frame_ += byte;
    resynchronise();
    return error;
}

// A bad frame's declared length says nothing: the next frame may start
// anywhere after its start, even inside its header.
void FrameDecoder::resynchronise() {
    const std::size_t start = frame_.find(kFrameStart);
    if (start == std::string::npos) {
        state_ = State::Skipping;
        frame_.clear();
        return;
    }
    replay_ = frame_.substr(start + 1) + replay_.substr(replayed_);
    replayed_ = 0;
    beginFrame();
}

DecodeResult FrameDecoder::finish() {
    // A frame that ended where its length said is whole; its payload may
    // still be unreadable, and nothing inside it is decoded again.
    Frame frame;
    frame.type = static_cast<FrameType>(type_);
    std::string payload = frame_.substr(payloadStart_);
    frame_.clear();
    if (frame.type != FrameType::InitResult) {
        frame.text = std::move(payload);
    } else if (!parseInitResult(payload, frame)) {
        return FrameError::BadInitResult;
    }
    return frame;
}

// ---- Commands ----

std::string encodeCommand(std::string_view command) {
    if (command.find_first_of("\r\n") != std::string_view::npos) {
        throw std::invalid_argument("Command for the scanner contains a line break");
    }
    if (command.size() > kMaxCommandLength) {
        throw std::invalid_argument("Command for the scanner is longer than " +
                                    std::to_string(kMaxCommandLength) + " characters");
    }
    std::string line(command);
    line += kCommandEnd;
    return line;
}

CommandKind classifyCommand(std::string_view line) {
    if (line == "READ" || line == "Read") {
        return CommandKind::Read;
    }
    if (line.starts_with("Read ") && line.size() > 5 &&
        line.find_first_not_of("0123456789", 5) == std::string_view::npos) {
        return CommandKind::Read;
    }
    if (line == kRecoverCommand) {
        return CommandKind::Recover;
    }
    return CommandKind::Setup;
}

std::vector<std::string> CommandSplitter::feed(std::string_view bytes) {
    std::vector<std::string> lines;
    for (const char byte : bytes) {
        if (byte == '\r' || byte == '\n') {
            if (!overlong_ && !line_.empty()) {
                lines.push_back(std::move(line_));
            }
            line_.clear();
            overlong_ = false;
        } else if (line_.size() == kMaxCommandLength) {
            overlong_ = true;
        } else if (!overlong_) {
            line_ += byte;
        }
    }
    return lines;
}

}  // namespace scanforms::wire
