// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace scanforms::textfile {

// The longest field that is looked at. A field that runs on past it cannot be
// a 16-bit number written by this program, and bounding it keeps a reader
// from swallowing a huge file that has no comma or line end.
inline constexpr std::size_t kMaxFieldBytes = 255;

// Converts one field of a text-record file (the bytes up to the next comma or
// line end, without them) to a 16-bit signed integer. The program itself only
// writes plain digits with an optional leading minus, but a port file may
// have been edited by hand, so the rules for everything else are:
//  - blanks (spaces and tabs) around the number are ignored: " 2 " is 2;
//  - one pair of double quotes around the number is removed: "\"2\"" is 2;
//  - one leading sign is allowed: "+2" is 2, "-2" is -2;
//  - anything else is not a whole number and fails with "Type mismatch":
//    an empty field, "2.5", "2abc", "0x2", "2e0", NUL or other bytes;
//  - a whole number outside -32768..32767 fails with "Overflow", as does a
//    field longer than kMaxFieldBytes (`truncated`) that starts like a number.
// A fraction is refused rather than rounded: guessing a port from "2.5" could
// open the wrong scanner.
std::int16_t convertInt16Field(std::string_view field, bool truncated = false);

}  // namespace scanforms::textfile
