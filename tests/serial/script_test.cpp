// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scanner_sim {
namespace {

using Kind = ScriptItem::Kind;
using namespace std::string_literals;

TEST(Script, ReadsEveryItemWithItsTextAfterTheFirstSpace) {
    const auto items = parseScript(
        "# a comment\n"
        "\n"
        "SHEET  two blanks lead\n"
        "EMPTY\n"
        "FAULT\n"
        "FAULT Paper jam\n"
        "NOTICE A\"notice\r\n"
        "   \t\n"
        "END\n"
        "NOTDETECTED No lamp.\n"
        "NOTDETECTED\n"
        "HANGUP\n"
        "RAW \\x02S1:x\\x03\n"
        "SETUPLATE 5000\n"
        "SETUPRAW \\x02Q\n"
        "LINESETTINGS");
    const std::vector<ScriptItem> expected = {
        {Kind::Sheet, " two blanks lead"}, {Kind::Empty, ""},           {Kind::Fault, ""},
        {Kind::Fault, "Paper jam"},        {Kind::Notice, "A\"notice"}, {Kind::End, ""},
        {Kind::NotDetected, "No lamp."},   {Kind::NotDetected, ""},     {Kind::HangUp, ""},
        {Kind::Raw, "\x02S1:x\x03"},       {Kind::SetupLate, "5000"},   {Kind::SetupRaw, "\x02Q"},
        {Kind::LineSettings, ""},
    };
    EXPECT_EQ(items, expected);
}

TEST(Script, TakesHighBytesAsTheyStandAndEscapesForTheRest) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\xe9t\xe9 \xff", "\xe9t\xe9 \xff"}, {"\\x00\\x0d\\x0A", "\0\r\n"s},
        {"back\\\\slash", "back\\slash"},     {"\\n stays", "\\n stays"},
        {"ends in \\", "ends in \\"},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(unescape(text), bytes) << text;
    }
}

TEST(Script, NamesTheLineOfABadItem) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"SHEET a\nSHEETS b\n", "line 2: unknown item \"SHEETS\""},
        {"END now\n", "line 1: END takes no text"},
        {"EMPTY \n", "line 1: EMPTY takes no text"},
        {"SHEET\n", "line 1: SHEET needs a text after one space"},
        {"# x\nRAW \\x4\n", "line 2: \\x needs two hex digits"},
        {"sheet a\n", "line 1: unknown item \"sheet\""},
        {"SETUPLATE soon\n", "line 1: SETUPLATE needs a number of milliseconds"},
    };
    for (const auto& [text, message] : cases) {
        try {
            parseScript(text);
            ADD_FAILURE() << text << " was accepted";
        } catch (const ScriptError& error) {
            EXPECT_EQ(std::string(error.what()), message);
        }
    }
}

}  // namespace
}  // namespace scanner_sim
