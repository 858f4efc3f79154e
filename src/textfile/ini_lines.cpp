// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/ini_lines.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "common/blanks.h"

namespace scanforms::textfile {
namespace {

enum class LineKind { Other, Section, Key };

// How group and key names compare: exactly (QSettings, the edits), or
// without regard to ASCII case (Windows readers of the file).
enum class NameCase { Exact, AnyAscii };

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One line of the file by its offsets: [start, contentEnd) is its text,
// [contentEnd, end) its CR LF or LF (none on a last line without one).
struct IniLine {
    std::size_t start = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;
    LineKind kind = LineKind::Other;
    std::string_view name;  // the section's or the key's
    // The value's bytes, without the blanks around it and a comment after it.
    std::size_t valueStart = 0;
    std::size_t valueEnd = 0;
    std::string_view group;  // the section the line is in ("" before any)
};

// Where the value that begins at `from` ends: before a `;` outside quotes,
// without the blanks before that.
std::size_t valueEndOf(std::string_view text, std::size_t from, std::size_t lineEnd) {
    bool quoted = false;
    std::size_t end = from;
    for (std::size_t i = from; i < lineEnd; ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < lineEnd) {
            end = ++i + 1;
            continue;
        }
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && !quoted) {
            break;
        }
        if (!isBlank(c)) {
            end = i + 1;
        }
    }
    return end;
}

IniLine readLine(std::string_view text, std::size_t start, std::string_view group) {
    IniLine line;
    line.start = start;
    const std::size_t newline = text.find('\n', start);
    line.end = newline == std::string_view::npos ? text.size() : newline + 1;
    line.contentEnd = newline == std::string_view::npos ? text.size() : newline;
    if (line.contentEnd > start && text[line.contentEnd - 1] == '\r') {
        --line.contentEnd;
    }
    line.group = group;
    const std::size_t contentStart =
        start == 0 && text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : start;
    const std::string_view content =
        text.substr(contentStart, line.contentEnd - std::min(contentStart, line.contentEnd));
    const std::string_view bare = trimBlanks(content);
    if (bare.empty() || bare.front() == ';' || bare.front() == '#') {
        return line;
    }
    if (bare.front() == '[') {
        const std::size_t close = bare.find(']');
        if (close != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = trimBlanks(bare.substr(1, close - 1));
            line.group = line.name;
        }
        return line;
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
        return line;
    }
    line.kind = LineKind::Key;
    line.name = trimBlanks(content.substr(0, equals));
    std::size_t value = contentStart + equals + 1;
    while (value < line.contentEnd && isBlank(text[value])) {
        ++value;
    }
    line.valueStart = value;
    line.valueEnd = valueEndOf(text, value, line.contentEnd);
    return line;
}

std::vector<IniLine> readLines(std::string_view text) {
    std::vector<IniLine> lines;
    std::string_view group;
    for (std::size_t start = 0; start < text.size();) {
        lines.push_back(readLine(text, start, group));
        group = lines.back().group;
        start = lines.back().end;
    }
    return lines;
}

bool sameName(std::string_view a, std::string_view b, NameCase names) {
    if (names == NameCase::Exact) {
        return a == b;
    }
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

bool isKeyOf(const IniLine& line, std::string_view group, std::string_view key,
             NameCase names = NameCase::Exact) {
    return line.kind == LineKind::Key && sameName(line.group, group, names) &&
           sameName(line.name, key, names);
}

// The value `raw` means: see iniValue.
std::string unquotedValue(std::string_view raw) {
    if (!raw.starts_with('"')) {
        return std::string(raw);
    }
    std::string value;
    bool quoted = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && quoted && i + 1 < raw.size()) {
            const char escaped = raw[++i];
            value += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped;
        } else {
            value += c;
        }
    }
    return value;
}

// The line end an added line takes: the file's first one, else LF.
std::string_view lineEndOf(std::string_view text) {
    const std::size_t newline = text.find('\n');
    return newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r' ? "\r\n"
                                                                                         : "\n";
}

// `text` with `line` inserted at `at`, the end of a line or of the file; a
// last line without a line end gets one first.
std::string insertLine(std::string_view text, std::size_t at, std::string_view line,
                       std::string_view lineEnd) {
    std::string inserted;
    if (at > 0 && text[at - 1] != '\n') {
        inserted += lineEnd;
    }
    inserted += line;
    inserted += lineEnd;
    std::string edited(text);
    edited.insert(at, inserted);
    return edited;
}

}  // namespace

std::optional<std::string> iniValue(std::string_view text, std::string_view group,
                                    std::string_view key) {
    const std::vector<IniLine> lines = readLines(text);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (isKeyOf(*line, group, key, NameCase::AnyAscii)) {
            return unquotedValue(text.substr(line->valueStart, line->valueEnd - line->valueStart));
        }
    }
    return std::nullopt;
}

std::string setIniValue(std::string_view text, std::string_view group, std::string_view key,
                        std::string_view value) {
    const std::vector<IniLine> lines = readLines(text);
    const std::string valueText = iniValueText(value);
    // The last line of the key is the one a reader keeps.
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (isKeyOf(*line, group, key)) {
            std::string edited(text);
            edited.replace(line->valueStart, line->valueEnd - line->valueStart, valueText);
            return edited;
        }
    }
    const std::string keyLine = std::string(key) + "=" + valueText;
    const std::string_view lineEnd = lineEndOf(text);
    std::optional<std::size_t> groupEnd;  // after the first section's last setting
    for (const IniLine& line : lines) {
        if (line.kind == LineKind::Section && line.name == group && !groupEnd) {
            groupEnd = line.end;
        } else if (groupEnd && line.kind == LineKind::Section) {
            break;
        } else if (groupEnd && line.kind == LineKind::Key) {
            groupEnd = line.end;
        }
    }
    if (groupEnd) {
        return insertLine(text, *groupEnd, keyLine, lineEnd);
    }
    // A new section at the end, after a blank line as sections are apart.
    std::string edited(text);
    if (!text.empty() && !text.ends_with('\n')) {
        edited += lineEnd;
    }
    if (!text.empty() && !text.ends_with("\n\n") && !text.ends_with("\n\r\n")) {
        edited += lineEnd;
    }
    edited += "[" + std::string(group) + "]";
    edited += lineEnd;
    edited += keyLine;
    edited += lineEnd;
    return edited;
}

std::string removeIniKey(std::string_view text, std::string_view group, std::string_view key) {
    std::string edited;
    edited.reserve(text.size());
    for (const IniLine& line : readLines(text)) {
        if (!isKeyOf(line, group, key)) {
            edited += text.substr(line.start, line.end - line.start);
        }
    }
    return edited;
}

std::string iniValueText(std::string_view value) {
    bool plain = !value.empty() && !isBlank(value.front()) && !isBlank(value.back());
    for (const char c : value) {
        plain = plain && c != ';' && c != ',' && c != '"' && c != '\\' && c != '\n' && c != '\r';
    }
    if (plain) {
        return std::string(value);
    }
    std::string quoted = "\"";
    for (const char c : value) {
        switch (c) {
            case '\\':
                quoted += "\\\\";
                break;
            case '"':
                quoted += "\\\"";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace scanforms::textfile
