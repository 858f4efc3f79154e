// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Blanks as the station's text files have them around a field or a setting:
// spaces and tabs, nothing else (a CR belongs to the line end).

#include <string_view>

namespace scanforms {

inline bool isBlank(char ch) {
    return ch == ' ' || ch == '\t';
}

inline std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace scanforms
