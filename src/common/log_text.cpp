// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "common/log_text.h"

#include <cstddef>
#include <cstdio>

namespace scanforms {
namespace {

// The length of the UTF-8 sequence that starts `bytes`, 0 when it is none
// (a stray continuation byte, a cut sequence, an overlong or surrogate form)
// or a C1 control character.
std::size_t utf8Length(std::string_view bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1fU;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0fU;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07U;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[i]);
        if ((next & 0xc0U) != 0x80U) {
            return 0;
        }
        code = (code << 6U) | (next & 0x3fU);
    }
    const bool control = length == 2 && code < 0xa0;
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xd800 && code <= 0xdfff;
    return control || overlong || surrogate || code > 0x10ffff ? 0 : length;
}

}  // namespace

std::string logText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const auto byte = static_cast<unsigned char>(bytes[0]);
        std::size_t taken = 1;
        if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
            text += static_cast<char>(byte);
        } else if (const std::size_t length = byte >= 0x80 ? utf8Length(bytes) : 0; length > 0) {
            text.append(bytes.substr(0, length));
            taken = length;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(byte));
            text += escaped;
        }
        bytes.remove_prefix(taken);
    }
    return text;
}

}  // namespace scanforms
