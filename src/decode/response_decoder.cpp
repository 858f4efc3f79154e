#include "decode/response_decoder.h"

namespace scanforms::decode {

char decodeMark(std::string_view code) {
    if (code.size() != 1) {
        return '?';
    }
    switch (code.front()) {
        case 'A':
            return 'A';
        case 'B':
            return 'B';
        case 'D':
            return 'C';
        case 'H':
            return 'D';
        case 'P':
            return 'E';
        case '@':
            return ' ';
        default:
            return '?';
    }
}

std::string decodeResponse(std::string_view response) {
    std::string decoded;
    decoded.reserve(kCarriedLength + kAnswerCount);
    if (response.size() >= kIdStart) {
        decoded = response.substr(kIdStart - 1, kCarriedLength);
    }
    for (std::size_t position = kFirstAnswer; position <= kLastAnswer; ++position) {
        const std::string_view code =
            position <= response.size() ? response.substr(position - 1, 1) : std::string_view{};
        decoded += decodeMark(code);
    }
    return decoded;
}

RecordFields recordFields(std::string_view decoded) {
    const std::size_t answersFrom =
        decoded.size() > kAnswerCount ? decoded.size() - kAnswerCount : 0;
    return {std::string(decoded.substr(0, kIdLength)), std::string(decoded.substr(answersFrom))};
}

}  // namespace scanforms::decode
