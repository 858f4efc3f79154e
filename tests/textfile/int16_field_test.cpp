// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/int16_field.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/failure.h"

namespace scanforms::textfile {
namespace {

struct Case {
    std::string field;
    std::optional<std::int16_t> value;  // empty: the conversion fails
    std::string failure;
};

TEST(ConvertInt16Field, WrittenHandEditedAndBadFields) {
    const Case cases[] = {
        {"3", 3, ""},
        {"0", 0, ""},
        {"-1", -1, ""},
        {"32767", 32767, ""},
        {"-32768", -32768, ""},
        {"0002", 2, ""},
        {" 2", 2, ""},
        {"2 ", 2, ""},
        {"\t2\t", 2, ""},
        {"+2", 2, ""},
        {"\"2\"", 2, ""},
        {" \" 2 \" ", 2, ""},
        {"32768", std::nullopt, "Overflow"},
        {"-32769", std::nullopt, "Overflow"},
        {"99999999999999999999999", std::nullopt, "Overflow"},
        {"", std::nullopt, "Type mismatch"},
        {"   ", std::nullopt, "Type mismatch"},
        {"+", std::nullopt, "Type mismatch"},
        {"2.5", std::nullopt, "Type mismatch"},
        {"2abc", std::nullopt, "Type mismatch"},
        {"x", std::nullopt, "Type mismatch"},
        {"0x2", std::nullopt, "Type mismatch"},
        {"2e0", std::nullopt, "Type mismatch"},
        {"- 2", std::nullopt, "Type mismatch"},
        {"\"2", std::nullopt, "Type mismatch"},
        {std::string("2\0", 2), std::nullopt, "Type mismatch"},
        {"\xFF\xFE", std::nullopt, "Type mismatch"},
    };
    for (const Case& c : cases) {
        if (c.value) {
            EXPECT_EQ(convertInt16Field(c.field), *c.value) << "field [" << c.field << "]";
        } else {
            try {
                convertInt16Field(c.field);
                ADD_FAILURE() << "field [" << c.field << "] converted";
            } catch (const Failure& failure) {
                EXPECT_EQ(failure.description(), c.failure) << "field [" << c.field << "]";
            }
        }
    }
}

TEST(ConvertInt16Field, TruncatedFieldNeverConverts) {
    EXPECT_THROW(convertInt16Field("2", true), Failure);
    try {
        convertInt16Field("abc", true);
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.description(), "Type mismatch");
    }
}

}  // namespace
}  // namespace scanforms::textfile
