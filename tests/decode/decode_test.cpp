// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <string>

#include "decode/multiple_marks.h"
#include "decode/response_decoder.h"
#include "textfile/text_files.h"

namespace scanforms::decode {
namespace {

// A response of 226 bytes: ten ignored bytes, the identifier, three carried
// bytes, seven ignored bytes, then the 200 mark codes.
std::string response(const std::string& id, const std::string& carried, const std::string& codes) {
    std::string answers = codes;
    answers.resize(kAnswerCount, '@');
    return std::string("0123456789") + id + carried + "#######" + answers;
}

TEST(DecodeResponse, WorkedExampleByteForByte) {
    const DecodedSheet sheet = decodeResponse(response("004217", "XYZ", "AD@PH"));
    const std::string expected = "004217XYZAC ED" + std::string(195, ' ');
    EXPECT_EQ(sheet.text(), expected);
    ASSERT_EQ(sheet.text().size(), 209u);

    const std::string line = textfile::formatLine({sheet.id(), sheet.answers});
    EXPECT_EQ(line, "\"004217\",\"AC ED" + std::string(195, ' ') + "\"\r\n");
    EXPECT_EQ(line.size(), 213u);
}

TEST(DecodeMark, TableAndEverythingElse) {
    struct Case {
        std::string code;
        char answer;
    };
    const Case cases[] = {
        {"A", 'A'},    {"B", 'B'},    {"D", 'C'},    {"H", 'D'},
        {"P", 'E'},    {"@", ' '},    {"a", '?'},    {"b", '?'},
        {"d", '?'},    {"h", '?'},    {"p", '?'},    {"C", '?'},
        {"E", '?'},    {"`", '?'},    {"", '?'},     {std::string(1, '\0'), '?'},
        {"\xC1", '?'}, {"\x80", '?'}, {"\xFF", '?'}, {"AB", '?'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeMark(c.code), c.answer) << "code of " << c.code.size() << " bytes";
    }
}

TEST(DecodeResponse, LengthsAndOddBytes) {
    struct Case {
        const char* what;
        std::string response;
        std::string expected;
    };
    const std::string all200Q(200, '?');
    const std::string full = response("004217", "XYZ", "AD@PH");
    const Case cases[] = {
        {"one byte", "x", all200Q},
        {"ten bytes", "0123456789", all200Q},
        {"eleven bytes", "0123456789I", "I" + all200Q},
        {"nineteen bytes", "0123456789ABCDEFGHI", "ABCDEFGHI" + all200Q},
        {"twenty-six bytes", "0123456789ABCDEFGHI1234567", "ABCDEFGHI" + all200Q},
        {"cut after answer 3", full.substr(0, 29), "004217XYZAC " + all200Q.substr(3)},
        {"bytes after 226 ignored", full + "ABHP\xFF", decodeResponse(full).text()},
        {"NUL and high bytes in the identifier",
         response(std::string("\0\x80\xFF"
                              "abc",
                              6),
                  "\"\x01,", ""),
         std::string("\0\x80\xFF"
                     "abc\"\x01,",
                     9) +
             std::string(200, ' ')},
        {"NUL as a mark code", response("000001", "   ", std::string(1, '\0')),
         "000001   ?" + std::string(199, ' ')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decodeResponse(c.response).text(), c.expected) << c.what;
    }
}

TEST(DecodeResponse, ShortResponseRejectsItsMissingAnswers) {
    // 200 bytes of valid codes: answers past the end (175 to 200) are "?".
    const std::string decoded = decodeResponse(std::string(200, '@')).text();
    const auto positions = multipleMarkPositions(decoded);
    ASSERT_EQ(positions.size(), 26u);
    EXPECT_EQ(positions.front(), 175);
    EXPECT_EQ(positions.back(), 200);
}

TEST(MultipleMarks, PositionsAndWarningTexts) {
    struct Case {
        const char* what;
        std::string decoded;
        std::vector<int> positions;
        std::string warning;
    };
    const std::string clean = "004217XYZ" + std::string(200, 'A');
    std::string at3And17 = clean;
    at3And17[9 + 2] = '?';
    at3And17[9 + 16] = '?';
    std::string firstAndLast = clean;
    firstAndLast[9] = '?';
    firstAndLast[208] = '?';
    const Case cases[] = {
        {"clean", clean, {}, ""},
        {"? among the first nine is not looked at", "?????????" + std::string(200, ' '), {}, ""},
        {"nine characters", "?????????", {}, ""},
        {"empty", "", {}, ""},
        {"answers 3 and 17",
         at3And17,
         {3, 17},
         "Multiple marks at position(s):   3,  17,  Re-scan the form."},
        {"first and last",
         firstAndLast,
         {1, 200},
         "Multiple marks at position(s):   1,  200,  Re-scan the form."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(multipleMarkPositions(c.decoded), c.positions) << c.what;
        if (!c.positions.empty()) {
            EXPECT_EQ(multipleMarkWarning(c.positions), c.warning) << c.what;
        }
    }
    EXPECT_EQ(multipleMarkWarning({3}), "Multiple marks at position(s):   3,  Re-scan the form.");
}

TEST(MultipleMarks, EveryAnswerDoubtfulListsAllTwoHundred) {
    const auto positions = multipleMarkPositions("004217XYZ" + std::string(200, '?'));
    ASSERT_EQ(positions.size(), 200u);
    std::string expected(kWarningHeader);
    for (int n = 1; n <= 200; ++n) {
        expected += " " + std::to_string(n) + ", ";
    }
    expected += " Re-scan the form.";
    EXPECT_EQ(multipleMarkWarning(positions), expected);
}

}  // namespace
}  // namespace scanforms::decode
