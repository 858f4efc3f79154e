// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// What reaches the disk, and when: the calls TextFiles makes, watched and
// broken one at a time through a recording file system.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "textfile/failure_of.h"
#include "textfile/recording_file_system.h"
#include "textfile/text_files.h"

namespace scanforms::textfile {
namespace {

using scanforms::testing::failureOf;
using scanforms::testing::RecordingFileSystem;
using scanforms::testing::TempDir;
using Strings = std::vector<std::string>;

const std::vector<Item> kFirst = {std::string("000001"), std::string(200, 'A')};
const std::vector<Item> kSecond = {std::string("000002"), std::string(200, 'B')};

TEST(DurableWrite, NewFileAndEachLineAreSyncedBeforeTheCallReturns) {
    TempDir dir;
    RecordingFileSystem fs(dir.path());
    TextFiles files(fs);
    files.openOutput(1, "Scan.TXT");
    EXPECT_EQ(fs.log, (Strings{"open Scan.TXT", "syncData Scan.TXT", "syncDirectory ."}));
    fs.log.clear();
    files.writeLine(1, kFirst);
    EXPECT_EQ(fs.log, (Strings{"write Scan.TXT", "syncData Scan.TXT"}));
}

// A sync that fails may have lost the line, whatever the reason the system
// gives: the line is taken back and the operator told.
TEST(DurableWrite, FailedWriteOrSyncTakesTheLineBack) {
    const char* const failing[] = {"write Scan.TXT", "syncData Scan.TXT"};
    for (const char* call : failing) {
        TempDir dir;
        RecordingFileSystem fs(dir.path());
        TextFiles files(fs);
        files.openOutput(1, "Scan.TXT");
        files.writeLine(1, kFirst);
        fs.failOnce(call, "Invalid argument");
        EXPECT_EQ(failureOf([&] { files.writeLine(1, kSecond); }), "Invalid argument") << call;
        EXPECT_EQ(dir.read("Scan.TXT"), formatLine(kFirst)) << call;
        files.writeLine(1, kSecond);
        EXPECT_EQ(dir.read("Scan.TXT"), formatLine(kFirst) + formatLine(kSecond)) << call;
    }
}

TEST(DurableWrite, FailedDirectorySyncFailsTheOpening) {
    TempDir dir;
    RecordingFileSystem fs(dir.path());
    TextFiles files(fs);
    fs.failOnce("syncDirectory .", "Invalid argument");
    EXPECT_EQ(failureOf([&] { files.openOutput(1, "Scan.TXT"); }), "Invalid argument");
    EXPECT_FALSE(files.isOpen(1));
}

// Another program empties the record file: the next lines start at its new
// end, and a failed line is cut back to that end, not to the old one.
TEST(DurableWrite, LinesGoOnAtTheEndOfAShortenedFile) {
    TempDir dir;
    RecordingFileSystem fs(dir.path());
    TextFiles files(fs);
    files.openOutput(1, "Scan.TXT");
    files.writeLine(1, kFirst);
    files.writeLine(1, kFirst);
    std::filesystem::resize_file(dir.path() / "Scan.TXT", 0);
    fs.failOnce("syncData Scan.TXT", "Device I/O error");
    EXPECT_EQ(failureOf([&] { files.writeLine(1, kSecond); }), "Device I/O error");
    EXPECT_EQ(dir.read("Scan.TXT"), "");
    files.writeLine(1, kSecond);
    EXPECT_EQ(dir.read("Scan.TXT"), formatLine(kSecond));
}

// Lines written to a file that is no longer the record file would be lost
// while every sheet looked recorded.
TEST(DurableWrite, RecordFileThatWasRemovedOrReplacedTakesNoLine) {
    struct Case {
        const char* what;
        void (*change)(const TempDir&);
        Strings entries;   // of the directory afterwards
        std::string kept;  // in its first entry
    };
    const Case cases[] = {
        {"renamed",
         [](const TempDir& d) {
             std::filesystem::rename(d.path() / "Scan.TXT", d.path() / "Old.TXT");
         },
         {"Old.TXT"},
         formatLine(kFirst)},
#ifndef _WIN32
        // Windows refuses to put another file in an open one's place, and
        // Wine keeps a removed file's name until the file is closed.
        {"removed",
         [](const TempDir& d) { std::filesystem::remove(d.path() / "Scan.TXT"); },
         {},
         ""},
        {"replaced",
         [](const TempDir& d) {
             d.write("New.TXT", "other\r\n");
             std::filesystem::rename(d.path() / "New.TXT", d.path() / "Scan.TXT");
         },
         {"Scan.TXT"},
         "other\r\n"},
#endif
    };
    for (const Case& c : cases) {
        TempDir dir;
        TextFiles files;
        files.openOutput(1, "Scan.TXT");
        files.writeLine(1, kFirst);
        c.change(dir);
        EXPECT_EQ(failureOf([&] { files.writeLine(1, kSecond); }),
                  "Scan.TXT was removed or replaced")
            << c.what;
        EXPECT_EQ(dir.entries(), c.entries) << c.what;
        if (!c.entries.empty()) {
            EXPECT_EQ(dir.read(c.entries.front()), c.kept) << c.what;
        }
    }
}

TEST(DurableWrite, ReplacementTakesTheOldFilesPlaceOnlyWhenClosed) {
    TempDir dir;
    dir.write("Com.TXT", "4\r\n");
    dir.write("Com.TXT.new", "9\r\n");  // left behind by a crash
    RecordingFileSystem fs(dir.path());
    TextFiles files(fs);
    files.openOutput(1, "com.TXT", OutputMode::Replace);
    files.writeLine(1, {std::int16_t{2}});
    EXPECT_EQ(dir.read("Com.TXT"), "4\r\n");
    fs.log.clear();
    files.close(1);
    EXPECT_EQ(fs.log, (Strings{"syncData Com.TXT.new", "close Com.TXT.new",
                               "rename Com.TXT.new Com.TXT", "syncDirectory ."}));
    EXPECT_EQ(dir.read("Com.TXT"), "2\r\n");
    EXPECT_EQ(dir.entries(), Strings{"Com.TXT"});
}

// Whatever fails, the old file stays whole and the new one is gone. A failed
// write gives the replacement up: closing the number then puts nothing in
// place, as when Done fails and is pressed again.
TEST(DurableWrite, FailedReplacementLeavesTheOldFile) {
    struct Case {
        const char* call;
        bool atWrite;  // else at close
    };
    const Case cases[] = {
        {"write Com.TXT.new", true},
        {"syncData Com.TXT.new", false},
        {"rename Com.TXT.new Com.TXT", false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        dir.write("Com.TXT", "4\r\n");
        RecordingFileSystem fs(dir.path());
        TextFiles files(fs);
        fs.failOnce(c.call, "Disk full");
        const std::string failure = failureOf([&] {
            files.openOutput(1, "Com.TXT", OutputMode::Replace);
            files.writeLine(1, {std::int16_t{2}});
            files.close(1);
        });
        EXPECT_EQ(failure, "Disk full: Com.TXT") << c.call;
        EXPECT_EQ(files.isOpen(1), c.atWrite) << c.call;
        if (c.atWrite) {
            EXPECT_EQ(failureOf([&] { files.writeLine(1, {std::int16_t{3}}); }),
                      "Disk full: Com.TXT");
            EXPECT_NO_THROW(files.close(1));
        }
        EXPECT_EQ(dir.read("Com.TXT"), "4\r\n") << c.call;
        EXPECT_EQ(dir.entries(), Strings{"Com.TXT"}) << c.call;
    }
}

// A share that renames nothing onto a taken name: the lines go into the old
// file itself, synced; the way taken is logged once.
TEST(DurableWrite, ReplacementIsWrittenInPlaceWhereRenameOntoATakenNameIsRefused) {
    for (const bool refuses : {false, true}) {
        TempDir dir;
        dir.write("Com.TXT", "4\r\n");
        RecordingFileSystem fs(dir.path());
        fs.refusesRenameOntoTakenName = refuses;
        TextFiles files(fs);
        Strings logged;
        files.setLog([&](const std::string& line) { logged.push_back(line); });
        for (const std::int16_t port : {std::int16_t{2}, std::int16_t{3}}) {
            files.openOutput(1, "Com.TXT", OutputMode::Replace);
            files.writeLine(1, {port});
            fs.log.clear();
            files.close(1);
        }
        EXPECT_EQ(dir.read("Com.TXT"), "3\r\n") << refuses;
        EXPECT_EQ(dir.entries(), Strings{"Com.TXT"}) << refuses;
        const Strings inPlace = {
            "syncData Com.TXT.new", "close Com.TXT.new", "rename Com.TXT.new Com.TXT",
            "remove Com.TXT.new",   "open Com.TXT",      "write Com.TXT",
            "syncData Com.TXT",     "close Com.TXT"};
        const Strings renamed = {"syncData Com.TXT.new", "close Com.TXT.new",
                                 "rename Com.TXT.new Com.TXT", "syncDirectory ."};
        EXPECT_EQ(fs.log, refuses ? inPlace : renamed);
        ASSERT_EQ(logged.size(), 1u) << refuses;
        EXPECT_NE(logged[0].find(refuses ? "written in place" : "replaced whole"),
                  std::string::npos)
            << logged[0];
    }
}

}  // namespace
}  // namespace scanforms::textfile
