// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/ini_lines.h"

#include <gtest/gtest.h>

namespace scanforms::textfile {
namespace {

struct IniCase {
    const char* name;
    std::string file;
    std::optional<std::string> value;  // of [ports] Com1
};

class IniValue : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniValue, ReadsTheKeyOfItsGroupOnly) {
    EXPECT_EQ(iniValue(GetParam().file, "ports", "Com1"), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniValue,
    ::testing::Values(
        IniCase{"Plain", "[ports]\nCom1=COM3\n", "COM3"},
        IniCase{"CrLfBlanksAndCase", "\xEF\xBB\xBF[ Ports ]\r\n  com1 = \\\\.\\COM12 \r\n",
                "\\\\.\\COM12"},
        IniCase{"BytesAsTheyStand", "[ports]\nCom1=/dev/\xE9\\x=\"q\"", "/dev/\xE9\\x=\"q\""},
        IniCase{"OtherGroupOrKey", "[scanner]\nCom1=COM3\n[ports]\nCom10=COM4\n", std::nullopt},
        IniCase{"CommentsSkippedLastLineCounts", "[ports]\n;Com1=COM5\nCom1=COM6\nCom1=COM7",
                "COM7"},
        IniCase{"EmptyValue", "[ports]\nCom1=\n", ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(IniValue, ReadsBackWhatSetIniValueWrote) {
    const std::string values[] = {"COM3 ; not a comment", "  blanks around  ",
                                  "say \"\\\\.\\COM12\"", "/dev/ttyS\xE9\xFF", "a,b\r\nc", ""};
    for (const std::string& value : values) {
        const std::string file = setIniValue("[Ports]\r\nCom1=old\r\n", "Ports", "Com1", value);
        EXPECT_EQ(iniValue(file, "ports", "com1"), value) << file;
    }
}

}  // namespace
}  // namespace scanforms::textfile
