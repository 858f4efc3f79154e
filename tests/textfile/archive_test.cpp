// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "textfile/failure_of.h"
#include "textfile/recording_file_system.h"

namespace scanforms::textfile {
namespace {

using scanforms::testing::failureOf;
using scanforms::testing::RecordingFileSystem;
using scanforms::testing::TempDir;
using Strings = std::vector<std::string>;

constexpr char kRecords[] = "\"000001\",\"A\"\r\n\"000002\",\"B\"\r\n";
constexpr char kCopy[] = "ScanArchive/Scan-20261207-091530.TXT";

// 7 December 2026, 09:15:30.
std::tm batchTime() {
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 7;
    time.tm_hour = 9;
    time.tm_min = 15;
    time.tm_sec = 30;
    return time;
}

// The full path of a file of the scratch folder, as the platform spells it.
std::string pathOf(const TempDir& dir, const std::string& relative) {
    return (dir.path() / relative).make_preferred().string();
}

TEST(Archive, CopyIsNewNamedByTheSecondAndOnTheDisk) {
    TempDir dir;
    dir.write("scan.txt", kRecords);
    RecordingFileSystem fs(dir.path());
    EXPECT_EQ(archiveFile("Scan.TXT", "ScanArchive", batchTime(), fs), pathOf(dir, kCopy));
    EXPECT_EQ(fs.log, (Strings{"open scan.txt", "makeDirectory ScanArchive", "syncDirectory .",
                               std::string("createNew ") + kCopy, std::string("write ") + kCopy,
                               std::string("syncData ") + kCopy, std::string("close ") + kCopy,
                               "syncDirectory ScanArchive", "close scan.txt"}));
    EXPECT_EQ(dir.read(kCopy), kRecords);
    EXPECT_EQ(dir.read("scan.txt"), kRecords);

    // Names already taken in that second are never written over.
    const std::string second = "ScanArchive/Scan-20261207-091530-2.TXT";
    const std::string third = "ScanArchive/Scan-20261207-091530-3.TXT";
    dir.write(second, "kept");
    fs.log.clear();
    EXPECT_EQ(archiveFile("Scan.TXT", "ScanArchive", batchTime(), fs), pathOf(dir, third));
    EXPECT_EQ(fs.log, (Strings{"open scan.txt", "makeDirectory ScanArchive",
                               std::string("createNew ") + kCopy, "createNew " + second,
                               "createNew " + third, "write " + third, "syncData " + third,
                               "close " + third, "syncDirectory ScanArchive", "close scan.txt"}));
    EXPECT_EQ(dir.read(second), "kept");
    EXPECT_EQ(dir.read(third), kRecords);
    EXPECT_EQ(dir.read(kCopy), kRecords);
}

// Start Scanning pressed again after a failure that followed the copy.
TEST(Archive, FileIdenticalToTheNewestCopyIsNotCopiedAgain) {
    TempDir dir;
    dir.write("Scan.TXT", kRecords);
    std::filesystem::create_directory(dir.path() / "ScanArchive");
    dir.write("ScanArchive/Scan-20261207-091529-12.TXT", "older");
    const std::string newest = pathOf(dir, "ScanArchive/Scan-20261207-091529-12.TXT");
    EXPECT_EQ(archiveFile("Scan.TXT", "ScanArchive", batchTime()), pathOf(dir, kCopy));
    EXPECT_EQ(archiveFile("Scan.TXT", "ScanArchive", batchTime()), pathOf(dir, kCopy));
    dir.write("Scan.TXT", "older");
    EXPECT_NE(archiveFile("Scan.TXT", "ScanArchive", batchTime()), newest)
        << "only the newest copy counts";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "ScanArchive"),
                            std::filesystem::directory_iterator{}),
              3);
}

TEST(Archive, NothingToKeepMakesNoCopy) {
    struct Case {
        const char* what;
        // Makes the file, and returns the name it is archived under.
        std::string (*make)(const TempDir&);
    };
    const Case cases[] = {
        {"missing", [](const TempDir&) { return std::string("Scan.TXT"); }},
        {"empty",
         [](const TempDir& d) {
             d.write("Scan.TXT", "");
             return std::string("Scan.TXT");
         }},
        {"a directory",
         [](const TempDir& d) {
             std::filesystem::create_directory(d.path() / "Scan.TXT");
             return std::string("Scan.TXT");
         }},
        {"a device", [](const TempDir& d) { return d.nullDevice("Scan.TXT"); }},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string name = c.make(dir);
        EXPECT_EQ(archiveFile(name, "ScanArchive", batchTime()), std::nullopt) << c.what;
        EXPECT_FALSE(dir.exists("ScanArchive")) << c.what;
    }
}

TEST(Archive, FailureLeavesTheFileAndNoCopy) {
    struct Case {
        const char* what;
        const char* failingCall;  // or a file where the folder should be
        std::string failure;
    };
    Case cases[] = {
        {"a file where the folder should be", nullptr,
         "Path/File access error: scanarchive is not a folder"},
        {"copy cannot be written", "write ScanArchive/Scan-20261207-091530.TXT", "Disk full"},
        {"copy cannot be synced", "syncData ScanArchive/Scan-20261207-091530.TXT",
         "Device I/O error"},
    };
    for (Case& c : cases) {
        TempDir dir;
        dir.write("Scan.TXT", kRecords);
        RecordingFileSystem fs(dir.path());
        if (c.failingCall) {
            fs.failOnce(c.failingCall, c.failure);
            c.failure +=
                ": " + (std::filesystem::path("ScanArchive") / "Scan-20261207-091530.TXT").string();
        } else {
            dir.write("scanarchive", "not a folder");
        }
        EXPECT_EQ(failureOf([&] { archiveFile("Scan.TXT", "ScanArchive", batchTime(), fs); }),
                  c.failure)
            << c.what;
        EXPECT_EQ(dir.read("Scan.TXT"), kRecords) << c.what;
        if (c.failingCall) {
            EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "ScanArchive")) << c.what;
        }
    }
}

}  // namespace
}  // namespace scanforms::textfile
