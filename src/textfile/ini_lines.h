// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// One key of an INI settings file read, or changed in its text with every
// other byte kept:
//
//   the file's bytes --iniValue(group, key)--> the value the key's last line
//       in the group holds, or nothing
//   the file's bytes --setIniValue(group, key, value)--> the same bytes with
//       the key's last line in the group given the new value, or a line added
//       at the end of the group's first section, or the section added at the
//       end of the file
//   the file's bytes --removeIniKey(group, key)--> without every line of the
//       key in any section of the group
//
// The file is read as QSettings reads it: sections `[name]` may repeat and
// are one group, the last line of a key wins, `;` and `#` begin comment
// lines, `;` outside quotes ends a value, a UTF-8 byte order mark before the
// first line is no part of it. Lines end in LF or CR LF, each kept as it is;
// an added line ends as the file's first line does. Bytes in any encoding,
// NUL among them, pass through untouched.

#include <optional>
#include <string>
#include <string_view>

namespace scanforms::textfile {

// A value in quotes is read as iniValueText wrote it: the quotes dropped,
// `\\`, `\"`, `\n` and `\r` unescaped. A value without a quote at its start
// is its bytes as they stand, backslashes included, as a Windows device name
// such as `\\.\COM12` is written by hand. Group and key names match without
// regard to ASCII case, as Windows users expect of an INI file; the edits
// below match them exactly, as QSettings does.
std::optional<std::string> iniValue(std::string_view text, std::string_view group,
                                    std::string_view key);

std::string setIniValue(std::string_view text, std::string_view group, std::string_view key,
                        std::string_view value);

std::string removeIniKey(std::string_view text, std::string_view group, std::string_view key);

// `value` as an INI file holds it so that QSettings reads it back as it is:
// plain, or quoted with its backslashes and quotes escaped when it holds
// what a reader would take for a comment, a list, an escape or blanks to trim.
std::string iniValueText(std::string_view value);

}  // namespace scanforms::textfile
