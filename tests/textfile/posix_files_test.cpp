// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Text files against what only POSIX systems put in a folder: names that
// differ in letter case only, pipes and sockets, a device that is always
// full, and a limit on a file's size.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "textfile/failure_of.h"
#include "textfile/file_name.h"
#include "textfile/text_files.h"

namespace scanforms::textfile {
namespace {

using scanforms::testing::failureOf;
using scanforms::testing::TempDir;

// The exact spelling first; else the first case variant in byte order.
TEST(TextFiles, ExactSpellingWinsOverCaseVariants) {
    struct Case {
        std::vector<std::string> entries;
        const char* asked;
        const char* meant;
    };
    const Case cases[] = {
        {{"SCAN.TXT", "Scan.TXT"}, "Scan.TXT", "Scan.TXT"},
        {{"cOM.TXT", "Com.txt", "COM.TXT"}, "Com.txt", "Com.txt"},
        {{"cOM.TXT", "Com.txt", "COM.TXT"}, "com.txt", "COM.TXT"},
        {{"cOM.TXT", "Com.txt"}, "other.TXT", "other.TXT"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const std::string& entry : c.entries) {
            dir.write(entry, "");
        }
        EXPECT_EQ(matchEntryName(dir.path().string(), c.asked), c.meant) << c.asked;
    }
}

// The station's folder renamed mid-batch: the record file is still the one
// its name leads to in the current directory, and takes the next lines.
TEST(TextFiles, RecordsGoOnWhenTheStationFolderIsRenamed) {
    TempDir dir;
    TextFiles files;
    const std::vector<Item> line = {std::string("000001"), std::string(200, 'A')};
    files.openOutput(1, "Scan.TXT");
    files.writeLine(1, line);
    const std::filesystem::path moved = dir.path().string() + "-renamed";
    std::filesystem::rename(dir.path(), moved);
    EXPECT_EQ(failureOf([&] { files.writeLine(1, line); }), "(no failure)");
    files.close(1);
    EXPECT_EQ(scanforms::testing::readFileBytes(moved / "Scan.TXT"),
              formatLine(line) + formatLine(line));
    std::filesystem::rename(moved, dir.path());
}

// A pipe or a socket would stall or drop the lines.
TEST(TextFiles, PipeOrSocketIsRefused) {
    TempDir dir;
    TextFiles files;
    ASSERT_EQ(mkfifo((dir.path() / "Fifo.TXT").c_str(), 0600), 0);
    EXPECT_EQ(failureOf([&] { files.openInput(2, "Fifo.TXT"); }), "Bad file mode");
    EXPECT_FALSE(files.isOpen(2));
    EXPECT_EQ(failureOf([&] { files.openOutput(1, "Fifo.TXT"); }), "Bad file mode");
    EXPECT_EQ(failureOf([&] { files.openOutput(1, "Fifo.TXT", OutputMode::Replace); }),
              "Bad file mode: Fifo.TXT");
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
                  mode == OutputMode::Replace ? "Disk full: Scan.TXT" : "Disk full");
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
