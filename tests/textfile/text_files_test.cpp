#include "textfile/text_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

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
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "com.TXT"));
    EXPECT_EQ(dir.read("Com.TXT"), "2\r\n");

    files.openInput(2, "COM.txt");
    EXPECT_EQ(files.readInt16(2), 2);
}

TEST(TextFiles, CaseVariantsChooseFirstInByteOrderWhateverTheSpelling) {
    TempDir dir;
    dir.write("cOM.TXT", "");
    dir.write("Com.txt", "");
    EXPECT_EQ(matchEntryName(dir.path().string(), "cOM.TXT"), "Com.txt");
    dir.write("COM.TXT", "");
    for (const char* spelling : {"COM.TXT", "Com.txt", "cOM.TXT", "com.txt"}) {
        EXPECT_EQ(matchEntryName(dir.path().string(), spelling), "COM.TXT") << spelling;
    }
    EXPECT_EQ(matchEntryName(dir.path().string(), "other.TXT"), "other.TXT");
    EXPECT_EQ(currentDirectoryFile("Scan.TXT"), (dir.path() / "Scan.TXT").string());
}

// Start-up reads the port file as "Com.TXT" and Done writes it as "com.TXT":
// with both spellings on the disk they must still be one file.
TEST(TextFiles, WhatIsWrittenUnderOneSpellingIsReadUnderAnother) {
    for (const OutputMode mode : {OutputMode::Plain, OutputMode::Replace}) {
        TempDir dir;
        dir.write("Com.TXT", "4\r\n");
        dir.write("com.TXT", "1\r\n");
        TextFiles files;
        files.openOutput(1, "com.TXT", mode);
        files.writeLine(1, {std::int16_t{2}});
        files.close(1);
        files.openInput(2, "Com.TXT");
        EXPECT_EQ(files.readInt16(2), 2);
    }
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
              "Path/File access error");

    // A pipe or a socket would stall or drop the lines.
    ASSERT_EQ(mkfifo((dir.path() / "Fifo.TXT").c_str(), 0600), 0);
    EXPECT_EQ(failureOf([&] { files.openInput(2, "Fifo.TXT"); }), "Bad file mode");
    EXPECT_FALSE(files.isOpen(2));
    EXPECT_EQ(failureOf([&] { files.openOutput(1, "Fifo.TXT"); }), "Bad file mode");
    EXPECT_EQ(failureOf([&] { files.openOutput(1, "Fifo.TXT", OutputMode::Replace); }),
              "Bad file mode");
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string sockPath = (dir.path() / "Sock.TXT").string();
    ASSERT_LT(sockPath.size(), sizeof address.sun_path);
    sockPath.copy(address.sun_path, sockPath.size());
    ASSERT_EQ(bind(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(failureOf([&] { files.openOutput(1, "Sock.TXT"); }), "Bad file mode");
    close(sock);
    EXPECT_FALSE(files.isOpen(1));
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

// A record file that is a link to /dev/full: the write fails with ENOSPC.
// A device cannot be replaced, so it takes the lines directly in both modes.
TEST(TextFiles, FullDiskIsReportedAndLeavesNoPartialLine) {
    for (const OutputMode mode : {OutputMode::Plain, OutputMode::Replace}) {
        TempDir dir;
        std::filesystem::create_symlink("/dev/full", dir.path() / "Scan.TXT");
        TextFiles files;
        files.openOutput(1, "Scan.TXT", mode);
        EXPECT_EQ(failureOf([&] {
                      files.writeLine(1, {std::string("004217"), std::string(200, ' ')});
                  }),
                  "Disk full");
    }
}

// A device has nothing to sync (a sync of /dev/null fails with EINVAL).
TEST(TextFiles, DeviceThatCannotSyncStillTakesTheLine) {
    for (const OutputMode mode : {OutputMode::Plain, OutputMode::Replace}) {
        TempDir dir;
        std::filesystem::create_symlink("/dev/null", dir.path() / "Scan.TXT");
        TextFiles files;
        files.openOutput(1, "Scan.TXT", mode);
        EXPECT_NO_THROW(files.writeLine(1, {std::int16_t{1}}));
        EXPECT_NO_THROW(files.close(1));
        EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "Scan.TXT"));
    }
}

TEST(TextFiles, FailedWriteCutsBackToLastWholeLine) {
    TempDir dir;
    TextFiles files;
    files.openOutput(1, "Scan.TXT");
    files.writeLine(1, {std::string("000001"), std::string(200, 'A')});
    // Limit the file's size so the next line can only be written in part.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit limit = old;
    limit.rlim_cur = 213 + 100;
    signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::string failure = failureOf([&] {
        files.writeLine(1, {std::string("000002"), std::string(200, 'B')});
    });
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(failure, "Disk full");
    EXPECT_EQ(dir.read("Scan.TXT"), "\"000001\",\"" + std::string(200, 'A') + "\"\r\n");
    // The file goes on from its last whole line.
    files.writeLine(1, {std::string("000003"), std::string(200, 'C')});
    EXPECT_EQ(dir.read("Scan.TXT").size(), 2u * 213u);
}

}  // namespace
}  // namespace scanforms::textfile
