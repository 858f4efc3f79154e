// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Reading the station's settings file, an INI file of the user's:
//
//   file bytes --iniValue(group, key)--> the value's bytes, or nothing
//
//   [ports]
//   Com1=\\.\COM12
//   [scanner]
//   SetupAnswerTimeout=10
//
// Bytes stay bytes: a value is what follows the first '=' up to the line's
// end, blanks around it dropped, never unescaped or converted. Group and key
// names match without regard to ASCII case, as Windows users expect of an
// INI file. Lines may end in CR LF; a UTF-8 byte order mark at the start is
// skipped; lines starting with ';' or '#' are comments. A key given twice
// counts by its last line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scanforms {

std::optional<std::string> iniValue(std::string_view file, std::string_view group,
                                    std::string_view key);

// The names the port map uses on every platform: "SCANFORMS_COM1" for port
// 1, the settings key "Com1" in the group "ports".
inline constexpr std::string_view kPortsGroup = "ports";
std::string portVariable(std::int16_t port);
std::string portLabel(std::int16_t port);

}  // namespace scanforms
