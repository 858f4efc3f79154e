// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/text_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "textfile/failure_of.h"
#include "textfile/file_name.h"

namespace scanforms::textfile {
namespace {

using scanforms::testing::failureOf;
using scanforms::testing::TempDir;

TEST(FormatLine, ItemsBytesAndLineEnd) {
    struct Case {
        std::vector<Item> items;
        std::string line;
    };
    const Case cases[] = {
        {{std::int16_t{3}}, "3\r\n"},
        {{std::int16_t{0}}, "0\r\n"},
        {{std::int16_t{-32768}}, "-32768\r\n"},
        {{std::string("a\"b"), std::int16_t{1}}, "\"a\"b\",1\r\n"},
        {{std::string(" x "), std::string("")}, "\" x \",\"\"\r\n"},
        {{std::string("\0\x80\xFF", 3)}, std::string("\"\0\x80\xFF\"\r\n", 7)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatLine(c.items), c.line);
    }
}

TEST(TextFiles, IntegerThreeIsThreeBytes) {
    TempDir dir;
    TextFiles files;
    files.openOutput(1, "com.TXT");
    files.writeLine(1, {std::int16_t{3}});
    files.close(1);
    EXPECT_EQ(dir.read("com.TXT"), "3\r\n");
}

TEST(TextFiles, OutputEmptiesAnExistingFile) {
    TempDir dir;
    dir.write("Scan.TXT", "old records\r\n");
    TextFiles files;
    files.openOutput(1, "Scan.TXT");
    EXPECT_EQ(dir.read("Scan.TXT"), "");
}

TEST(TextFiles, NamesMatchWithoutRegardToCase) {
    TempDir dir;
    dir.write("Com.TXT", "4\r\n");
    TextFiles files;
    files.openOutput(1, "com.TXT");
    files.writeLine(1, {std::int16_t{2}});
    files.close(1);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"Com.TXT"});
    EXPECT_EQ(dir.read("Com.TXT"), "2\r\n");

    files.openInput(2, "COM.txt");
    EXPECT_EQ(files.readInt16(2), 2);
}

TEST(TextFiles, ReadsFieldsUpToCommaOrLineEnd) {
    struct Case {
        std::string content;
        std::vector<std::int16_t> values;
    };
    const Case cases[] = {
        {"2\r\n", {2}},
        {"3,1\r\n", {3, 1}},
        {"3,1", {3, 1}},
        {"5\n6\r7\r\n", {5, 6, 7}},
        {"-12,  4 ,\"9\"\r\n", {-12, 4, 9}},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.write("Com.TXT", c.content);
        TextFiles files;
        files.openInput(2, "Com.TXT");
        for (std::int16_t value : c.values) {
            EXPECT_EQ(files.readInt16(2), value) << c.content;
        }
        EXPECT_EQ(failureOf([&] { files.readInt16(2); }), "Input past end of file") << c.content;
    }
}

TEST(TextFiles, FailuresCarryOperatorDescriptions) {
    TempDir dir;
    TextFiles files;
    EXPECT_EQ(failureOf([&] { files.openInput(2, "Com.TXT"); }), "File not found");
    EXPECT_EQ(failureOf([&] { files.writeLine(1, {std::int16_t{1}}); }), "Bad file name or number");
    EXPECT_EQ(failureOf([&] { files.readInt16(2); }), "Bad file name or number");
    EXPECT_EQ(failureOf([&] { files.openOutput(0, "x.TXT"); }), "Bad file name or number");

    dir.write("Com.TXT", "");
    files.openInput(2, "Com.TXT");
    EXPECT_EQ(failureOf([&] { files.readInt16(2); }), "Input past end of file");
    EXPECT_EQ(failureOf([&] { files.openInput(2, "Com.TXT"); }), "File already open");
    EXPECT_EQ(failureOf([&] { files.writeLine(2, {std::int16_t{1}}); }), "Bad file mode");
    files.close(2);
    files.close(2);  // closing a number that is not open does nothing

    std::filesystem::create_directory(dir.path() / "Dir.TXT");
    EXPECT_EQ(failureOf([&] { files.openInput(2, "Dir.TXT"); }), "Path/File access error");
    EXPECT_EQ(failureOf([&] { files.openOutput(1, "dir.txt"); }), "Path/File access error");

    EXPECT_EQ(failureOf([&] { files.openOutput(1, "DIR.TXT", OutputMode::Replace); }),
              "Path/File access error: DIR.TXT");
}

TEST(TextFiles, NeverHangsOrSwallowsHugeContent) {
    TempDir dir;
    {
        std::ofstream big(dir.path() / "Com.TXT", std::ios::binary);
        big << std::string(8 << 20, '7');  // 8 MiB, no comma, no line end
    }
    TextFiles files;
    files.openInput(2, "Com.TXT");
    EXPECT_EQ(failureOf([&] { files.readInt16(2); }), "Overflow");
    files.close(2);

    dir.write("Com.TXT", std::string("\0\x01\x02\xFF\r\n", 6));
    files.openInput(2, "Com.TXT");
    EXPECT_EQ(failureOf([&] { files.readInt16(2); }), "Type mismatch");
}

// A device has nothing to sync (a sync of /dev/null fails with EINVAL, one
// of NUL with access denied), and is still the device afterwards.
TEST(TextFiles, DeviceThatCannotSyncStillTakesTheLine) {
    for (const OutputMode mode : {OutputMode::Plain, OutputMode::Replace}) {
        TempDir dir;
        const std::string device = dir.nullDevice("Scan.TXT");
        TextFiles files;
        files.openOutput(1, device, mode);
        EXPECT_NO_THROW(files.writeLine(1, {std::int16_t{1}}));
        EXPECT_NO_THROW(files.close(1));
        EXPECT_EQ(systemFileSystem().status(currentDirectoryFile(device))->type,
                  FileType::CharacterDevice);
    }
}

}  // namespace
}  // namespace scanforms::textfile
