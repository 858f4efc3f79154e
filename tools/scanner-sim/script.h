// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanner's script: what it does, item by item, in order.
//
//   SHEET <text>        the next read is answered by a sheet with that response
//   EMPTY               the next read is answered by a sheet with an empty response
//   FAULT [<text>]      the next read ends in a scanning fault
//   NOTICE <text>       a notice, sent as soon as the item before was delivered
//   END                 the end-of-batch button, pressed once a read is outstanding
//   NOTDETECTED <text>  the next setup string is answered "not detected" with that diagnostic
//   SILENT              the next setup string is not answered at all (a scanner that is off)
//   SETUPLATE <ms>      the next setup string is answered ready that many milliseconds later
//   SETUPRAW <bytes>    the next setup string is answered by these bytes as they stand
//   NOISE <bytes>       these bytes as they stand, sent at once like a notice (line noise)
//   HANGUP              the cable pulled once a read is outstanding and all was read
//   RAW <bytes>         the next read is answered by these bytes as they stand
//   LINESETTINGS        a notice such as "9600,n,8,2": the line settings the
//                       simulator's end sees, once a read is outstanding
//
// A text is everything after the first space. In it \xHH stands for the byte
// HH and \\ for one backslash; any other byte, 0x80-0xFF included, stands for
// itself. Blank lines and lines starting with # are skipped; a CR ending a
// line is dropped.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace scanner_sim {

struct ScriptItem {
    enum class Kind {
        Sheet,
        Empty,
        Fault,
        Notice,
        End,
        NotDetected,
        Silent,
        SetupLate,
        SetupRaw,
        Noise,
        HangUp,
        Raw,
        LineSettings
    };

    Kind kind = Kind::Sheet;
    std::string bytes;

    bool operator==(const ScriptItem&) const = default;
};

class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws ScriptError naming the line of the first bad item.
std::vector<ScriptItem> parseScript(std::string_view text);

// Throws ScriptError when the file cannot be read or holds a bad item.
std::vector<ScriptItem> loadScript(const std::string& path);

// \xHH and \\ replaced; throws ScriptError for a \x without two hex digits.
std::string unescape(std::string_view text);

}  // namespace scanner_sim
