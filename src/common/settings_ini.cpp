// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "common/settings_ini.h"

#include <algorithm>

namespace scanforms {
namespace {

constexpr std::string_view kBlanks = " \t\r";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::optional<std::string> iniValue(std::string_view file, std::string_view group,
                                    std::string_view key) {
    if (file.starts_with(kByteOrderMark)) {
        file.remove_prefix(kByteOrderMark.size());
    }
    std::optional<std::string> value;
    bool inGroup = false;
    while (!file.empty()) {
        const std::size_t end = std::min(file.find('\n'), file.size());
        const std::string_view line = trimmed(file.substr(0, end));
        file.remove_prefix(std::min(end + 1, file.size()));
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            inGroup = sameName(trimmed(line.substr(1, line.size() - 2)), group);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inGroup && equals != std::string_view::npos &&
            sameName(trimmed(line.substr(0, equals)), key)) {
            value = std::string(trimmed(line.substr(equals + 1)));
        }
    }
    return value;
}

std::string portVariable(std::int16_t port) {
    return "SCANFORMS_COM" + std::to_string(port);
}

std::string portLabel(std::int16_t port) {
    return "Com" + std::to_string(port);
}

}  // namespace scanforms
