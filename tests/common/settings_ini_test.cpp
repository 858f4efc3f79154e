// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "common/settings_ini.h"

#include <gtest/gtest.h>

namespace scanforms {
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

}  // namespace
}  // namespace scanforms
