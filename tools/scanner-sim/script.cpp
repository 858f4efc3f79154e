// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "script.h"

#include <array>
#include <fstream>
#include <iterator>

namespace scanner_sim {
namespace {

using Kind = ScriptItem::Kind;

enum class TextRule { None, Required, Optional };

struct Keyword {
    std::string_view word;
    Kind kind;
    TextRule text;
};

constexpr std::array kKeywords = {
    Keyword{"SHEET", Kind::Sheet, TextRule::Required},
    Keyword{"EMPTY", Kind::Empty, TextRule::None},
    Keyword{"FAULT", Kind::Fault, TextRule::Optional},
    Keyword{"NOTICE", Kind::Notice, TextRule::Optional},
    Keyword{"END", Kind::End, TextRule::None},
    Keyword{"NOTDETECTED", Kind::NotDetected, TextRule::Optional},
    Keyword{"SILENT", Kind::Silent, TextRule::None},
    Keyword{"SETUPLATE", Kind::SetupLate, TextRule::Required},
    Keyword{"SETUPRAW", Kind::SetupRaw, TextRule::Required},
    Keyword{"NOISE", Kind::Noise, TextRule::Required},
    Keyword{"HANGUP", Kind::HangUp, TextRule::None},
    Keyword{"RAW", Kind::Raw, TextRule::Required},
    Keyword{"LINESETTINGS", Kind::LineSettings, TextRule::None},
};

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

ScriptItem parseItem(std::string_view line) {
    const std::size_t space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    const bool hasText = space != std::string_view::npos;
    for (const Keyword& keyword : kKeywords) {
        if (keyword.word != word) {
            continue;
        }
        if (keyword.text == TextRule::None && hasText) {
            throw ScriptError(std::string(word) + " takes no text");
        }
        if (keyword.text == TextRule::Required && !hasText) {
            throw ScriptError(std::string(word) + " needs a text after one space");
        }
        ScriptItem item{keyword.kind, hasText ? unescape(line.substr(space + 1)) : std::string()};
        if (item.kind == Kind::SetupLate &&
            item.bytes.find_first_not_of("0123456789") != std::string::npos) {
            throw ScriptError(std::string(word) + " needs a number of milliseconds");
        }
        return item;
    }
    throw ScriptError("unknown item \"" + std::string(word) + "\"");
}

}  // namespace

std::string unescape(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
        } else if (text[i + 1] == '\\') {
            bytes += '\\';
            ++i;
        } else if (text[i + 1] == 'x') {
            const int high = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
            const int low = i + 3 < text.size() ? hexValue(text[i + 3]) : -1;
            if (high < 0 || low < 0) {
                throw ScriptError("\\x needs two hex digits");
            }
            bytes += static_cast<char>(high * 16 + low);
            i += 3;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

std::vector<ScriptItem> parseScript(std::string_view text) {
    std::vector<ScriptItem> items;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        ++lineNumber;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (isBlank(line) || line.starts_with('#')) {
            continue;
        }
        try {
            items.push_back(parseItem(line));
        } catch (const ScriptError& error) {
            throw ScriptError("line " + std::to_string(lineNumber) + ": " + error.what());
        }
    }
    return items;
}

std::vector<ScriptItem> loadScript(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw ScriptError("cannot read the script " + path);
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    try {
        return parseScript(text);
    } catch (const ScriptError& error) {
        throw ScriptError(path + ", " + error.what());
    }
}

}  // namespace scanner_sim
