// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The line between the scanner component and the scanner, shared by the
// component and the scanner simulator.
//
//   host --> scanner   one command a line, ending in CR:   "READ\r"
//   host <-- scanner   length-prefixed frames:
//                      STX  type  length  ':'  payload  ETX
//                      0x02 'S'   "3"     ':'  "abc"    0x03
//
// A frame's payload is counted, not scanned for an end byte, so a sheet's
// response may hold any byte (NUL, STX, ETX, 0x80-0xFF). Payloads are
// bounded; the decoder never holds more than one payload.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace scanforms::wire {

inline constexpr char kFrameStart = '\x02';
inline constexpr char kFrameEnd = '\x03';
inline constexpr char kLengthSeparator = ':';
inline constexpr char kInitTextSeparator = ' ';
inline constexpr char kCommandEnd = '\r';

// The longest payload a frame may carry; a sheet's response is 226 bytes.
inline constexpr std::size_t kMaxPayload = 1024;
// The most digits a frame's length may have (leading zeros included).
inline constexpr std::size_t kMaxLengthDigits = 4;
// The longest command line, terminator not counted.
inline constexpr std::size_t kMaxCommandLength = 80;

// The command that makes the scanner accept reads again after a fault.
inline constexpr std::string_view kRecoverCommand = "RECOVER";

enum class FrameType : char {
    Sheet = 'S',       // payload: the sheet's response, any bytes, maybe empty
    EndOfBatch = 'E',  // payload: empty
    InitResult = 'I',  // payload: the result in decimal, then a blank and the diagnostic
    Notice = 'N',      // payload: the notice's text
    Fault = 'F',       // payload: what went wrong, maybe empty
};

// Whether `byte` names one of the frame types above.
bool isFrameType(char byte);

struct Frame {
    FrameType type = FrameType::Sheet;
    std::string text;         // response, notice, diagnostic or fault reason
    std::int16_t result = 0;  // InitResult only

    bool operator==(const Frame&) const = default;
};

// Why bytes from the scanner were not a frame.
enum class FrameError {
    StrayBytes,     // bytes between frames
    BadHeader,      // unknown type, or a length that is not 1 to 4 digits and ':'
    Overlong,       // a length over kMaxPayload
    MissingEnd,     // the byte after the payload is not ETX
    BadInitResult,  // an initialization result that is not a 16-bit number
};

std::string describe(FrameError error);

// The bytes of one frame. Throws std::length_error when the payload is over
// kMaxPayload.
std::string encodeFrame(const Frame& frame);

using DecodeResult = std::variant<Frame, FrameError>;

// Turns the scanner's byte stream into frames, whatever pieces it arrives in.
// After an error it drops bytes silently up to the next frame start, so one
// run of bad bytes gives one error. That start is looked for right after the
// bad frame's own start, not after the length it declared: line noise that
// looks like a frame header must not swallow a real frame sent after it. The
// bytes of the frame under way are kept for this: the decoder holds no more
// than one frame's bytes and those of a bad one being decoded again.
class FrameDecoder {
public:
    // A frame whose header is read and whose payload has not ended.
    struct FrameUnderWay {
        FrameType type = FrameType::Sheet;
        std::string_view payload;  // the payload bytes so far
    };

    std::vector<DecodeResult> feed(std::string_view bytes);
    // Consumes `bytes` up to the first frame or error they complete, and
    // returns it; the rest stays in `bytes`. Nothing when all were used up
    // without completing one. Bytes of a bad frame kept to be decoded again
    // go first, so calling it with no bytes may still complete one.
    std::optional<DecodeResult> next(std::string_view& bytes);

    // A frame has started and has not ended yet.
    bool midFrame() const;
    // How many frame starts were seen so far: tells one partial frame from
    // the next.
    std::uint64_t framesBegun() const { return framesBegun_; }
    // The frame under way once its header is read; nothing before.
    std::optional<FrameUnderWay> frameUnderWay() const;
    // Back to "between frames", as after opening the line.
    void reset();
    // Drops the frame under way as a bad one, without an error: decoding goes
    // on at the next frame start after its own, and skips silently up to it.
    void skipToNextFrame();

private:
    enum class State { Between, Skipping, Type, Length, Payload, End };

    std::optional<DecodeResult> step(char byte);
    void beginFrame();
    DecodeResult fail(FrameError error, char byte);
    void resynchronise();
    DecodeResult finish();

    State state_ = State::Between;
    char type_ = 0;
    std::size_t length_ = 0;
    std::size_t digits_ = 0;
    // The bytes of the frame under way after its start: the header from the
    // type on, then the payload, which begins at payloadStart_.
    std::string frame_;
    std::size_t payloadStart_ = 0;
    // Bytes of a bad frame to be decoded again, from its first frame start
    // after the bad one's; replayed_ of them are done.
    std::string replay_;
    std::size_t replayed_ = 0;
    std::uint64_t framesBegun_ = 0;
};

// One command line: the command and CR. Throws std::invalid_argument for a
// command that holds a CR or LF or is longer than kMaxCommandLength.
std::string encodeCommand(std::string_view command);

// What a scanner does with a command line.
enum class CommandKind {
    Read,     // "READ", "Read", or "Read" and a number: read the next sheet
    Recover,  // kRecoverCommand: clear a fault
    Setup,    // any other line: a setup string, answered by an InitResult
};
CommandKind classifyCommand(std::string_view line);

// Splits the host's byte stream into command lines on the scanner's side. CR
// or LF ends a line; empty lines and lines longer than kMaxCommandLength are
// dropped.
class CommandSplitter {
public:
    std::vector<std::string> feed(std::string_view bytes);

private:
    std::string line_;
    bool overlong_ = false;
};

}  // namespace scanforms::wire
