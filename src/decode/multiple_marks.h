// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace scanforms::decode {

// The header of the multiple-mark warning; its length tells whether any
// position was added.
inline constexpr std::string_view kWarningHeader = "Multiple marks at position(s):  ";

// Answer numbers whose decoded answer is "?": decoded-text position minus 9,
// in increasing order. The first 9 characters (identifier and carried
// characters) are not looked at.
std::vector<int> multipleMarkPositions(std::string_view decoded);

// The warning listing `positions`, each as a blank, the number, a comma and a
// blank, then " Re-scan the form.":
// "Multiple marks at position(s):   3,  17,  Re-scan the form."
std::string multipleMarkWarning(const std::vector<int>& positions);

}  // namespace scanforms::decode
