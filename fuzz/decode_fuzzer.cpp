// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Any bytes as a scanner response: decoding, the multiple-mark check and the
// record line never crash, and their results keep their shapes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "decode/multiple_marks.h"
#include "decode/response_decoder.h"
#include "textfile/text_files.h"

using namespace scanforms;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string response(reinterpret_cast<const char*>(data), size);
    const decode::DecodedSheet sheet = decode::decodeResponse(response);
    const std::string decoded = sheet.text();

    const std::size_t carried = size < 10 ? 0 : std::min<std::size_t>(size - 10, 9);
    const std::string expectedCarried = carried > 0 ? response.substr(10, carried) : "";
    if (decoded.size() != carried + 200 || decoded.substr(0, carried) != expectedCarried) {
        std::abort();
    }
    const auto positions = decode::multipleMarkPositions(decoded);
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (positions[i] < 1 || positions[i] > 200 || (i > 0 && positions[i] <= positions[i - 1])) {
            std::abort();
        }
    }
    const std::string warning = decode::multipleMarkWarning(positions);
    if (warning.rfind(decode::kWarningHeader, 0) != 0) {
        std::abort();
    }
    if (positions.empty() && carried == 9) {
        if (textfile::formatLine({sheet.id(), sheet.answers}).size() != 213) {
            std::abort();
        }
        if (sheet.answers.find_first_not_of("ABCDE ") != std::string::npos) {
            std::abort();
        }
    }
    return 0;
}
