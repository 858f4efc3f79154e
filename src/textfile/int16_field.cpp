// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/int16_field.h"

#include "common/blanks.h"
#include "common/failure.h"

namespace scanforms::textfile {

std::int16_t convertInt16Field(std::string_view field, bool truncated) {
    std::string_view text = trimBlanks(field);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        text = trimBlanks(text.substr(1, text.size() - 2));
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        throw Failure("Type mismatch");
    }
    long value = 0;
    bool overflow = truncated;
    for (char ch : text) {
        if (ch < '0' || ch > '9') {
            throw Failure("Type mismatch");
        }
        if (!overflow) {
            value = value * 10 + (ch - '0');
            overflow = value > 32768;
        }
    }
    if (negative) {
        value = -value;
    }
    if (overflow || value < -32768 || value > 32767) {
        throw Failure("Overflow");
    }
    return static_cast<std::int16_t>(value);
}

}  // namespace scanforms::textfile
