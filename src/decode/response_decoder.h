// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>

namespace scanforms::decode {

// Layout of a scanner response (positions count from 1).
inline constexpr std::size_t kIdStart = 11;  // sheet identifier, 6 characters
inline constexpr std::size_t kIdLength = 6;
inline constexpr std::size_t kCarriedLength = 9;  // identifier plus 3 carried characters
inline constexpr std::size_t kFirstAnswer = 27;   // answer n is at position 26 + n
inline constexpr std::size_t kAnswerCount = 200;
inline constexpr std::size_t kLastAnswer = kFirstAnswer + kAnswerCount - 1;  // 226

// The answer one mark code stands for: "A", "B", "D", "H", "P" are the single
// bubbles A to E, "@" is no mark (a space), and anything else, including a
// lower-case code, two bubbles at once or the empty text of a position past
// the end of the response, is "?". Compared byte for byte, no case folding.
char decodeMark(std::string_view code);

// One decoded sheet: what the status line shows and what its record holds.
struct DecodedSheet {
    // Response positions 11 to 19 as they are: the identifier and three
    // carried characters (fewer, or none, for a short response).
    std::string carried;
    // The 200 decoded answers.
    std::string answers;

    // The decoded text: carried, then the answers; 209 bytes for any
    // response of 19 bytes or more.
    std::string text() const { return carried + answers; }
    // The sheet identifier: the first 6 carried characters. A response too
    // short to carry all 6 has "?" answers and is never recorded.
    std::string id() const { return carried.substr(0, kIdLength); }
};

DecodedSheet decodeResponse(std::string_view response);

}  // namespace scanforms::decode
