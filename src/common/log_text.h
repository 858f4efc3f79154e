// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Bytes from outside (device names, folder names, frame texts, commands,
// sheet identifiers) made fit for one log line.

#include <string>
#include <string_view>

namespace scanforms {

// `bytes` as UTF-8 for a log line: UTF-8 sequences as they are; every
// control character, backslash and byte that is no UTF-8 as \xHH. So a
// Latin-1 or a UTF-8 name shows each of its bytes once, and the line stays
// one line.
std::string logText(std::string_view bytes);

}  // namespace scanforms
