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
// run of bad bytes gives one error.
class FrameDecoder {
public:
    std::vector<DecodeResult> feed(std::string_view bytes);
    // Consumes `bytes` up to the first frame or error they complete, and
    // returns it; the rest stays in `bytes`. Nothing when all were used up
    // without completing one.
    std::optional<DecodeResult> next(std::string_view& bytes);

    // A frame has started and has not ended yet.
    bool midFrame() const;
    // How many frame starts were seen so far: tells one partial frame from
    // the next.
    std::uint64_t framesBegun() const { return framesBegun_; }
    // Back to "between frames", as after opening the line.
    void reset();
    // Drops the frame under way; what is left of it is skipped silently.
    void skipToNextFrame();

private:
    enum class State { Between, Skipping, Type, Length, Payload, End };

    std::optional<DecodeResult> step(char byte);
    DecodeResult fail(FrameError error, char byte);
    DecodeResult finish();

    State state_ = State::Between;
    char type_ = 0;
    std::size_t length_ = 0;
    std::size_t digits_ = 0;
    std::string payload_;
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
