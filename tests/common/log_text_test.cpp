// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "common/log_text.h"

#include <gtest/gtest.h>

namespace scanforms {
namespace {

// One log line whatever the name holds, each byte shown once.
TEST(LogText, EscapesControlsAndNonUtf8BytesAndKeepsUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"/tmp/a\nb\rc\td", "/tmp/a\\x0ab\\x0dc\\x09d"},
        {"/home/J\xc3\xbcrgen/scans", "/home/J\xc3\xbcrgen/scans"},
        {"/home/J\xfcrgen", "/home/J\\xfcrgen"},
        {"C:\\x \x7f", "C:\\x5cx \\x7f"},
        {"\xc2\x85 \xe2\x82 \xed\xa0\x80", "\\xc2\\x85 \\xe2\\x82 \\xed\\xa0\\x80"},
    };
    for (const auto& [bytes, logged] : cases) {
        EXPECT_EQ(logText(bytes), logged) << bytes;
    }
}

}  // namespace
}  // namespace scanforms
