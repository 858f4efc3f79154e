// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

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

DecodedSheet decodeResponse(std::string_view response) {
    DecodedSheet sheet;
    if (response.size() >= kIdStart) {
        sheet.carried = response.substr(kIdStart - 1, kCarriedLength);
    }
    sheet.answers.reserve(kAnswerCount);
    for (std::size_t position = kFirstAnswer; position <= kLastAnswer; ++position) {
        const std::string_view code =
            position <= response.size() ? response.substr(position - 1, 1) : std::string_view{};
        sheet.answers += decodeMark(code);
    }
    return sheet;
}

}  // namespace scanforms::decode
