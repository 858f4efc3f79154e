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

// The decoded text of a response: response positions 11 to 19 as they are
// (fewer, or none, for a short response), then the 200 decoded answers.
// 209 bytes for any response of 19 bytes or more.
std::string decodeResponse(std::string_view response);

// The two items of a record: the sheet identifier (first 6 characters of the
// decoded text) and the 200 answers (its last 200 characters).
struct RecordFields {
    std::string id;
    std::string answers;
};
RecordFields recordFields(std::string_view decoded);

}  // namespace scanforms::decode
