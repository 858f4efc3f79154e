// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "decode/multiple_marks.h"

#include "decode/response_decoder.h"

namespace scanforms::decode {

std::vector<int> multipleMarkPositions(std::string_view decoded) {
    std::vector<int> positions;
    for (std::size_t i = kCarriedLength; i < decoded.size(); ++i) {
        if (decoded[i] == '?') {
            positions.push_back(static_cast<int>(i - kCarriedLength + 1));
        }
    }
    return positions;
}

std::string multipleMarkWarning(const std::vector<int>& positions) {
    std::string warning(kWarningHeader);
    for (int position : positions) {
        warning += ' ';
        warning += std::to_string(position);
        warning += ", ";
    }
    warning += " Re-scan the form.";
    return warning;
}

}  // namespace scanforms::decode
