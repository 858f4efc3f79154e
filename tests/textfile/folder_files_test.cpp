// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The folder at start-up: a torn last record cut off Scan.TXT after the file
// was kept, and the lock against a second station in its every state.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fakes/temp_dir.h"
#include "textfile/failure_of.h"
#include "textfile/folder_lock.h"
#include "textfile/recording_file_system.h"
#include "textfile/torn_tail.h"

namespace scanforms::textfile {
namespace {

using scanforms::testing::failureOf;
using scanforms::testing::RecordingFileSystem;
using scanforms::testing::TempDir;

// Records of 12 bytes: "ID","ABC" CR LF.
constexpr std::size_t kLine = 12;
const std::string kWhole = "\"01\",\"ABC\"\r\n\"02\",\"BCD\"\r\n";

std::vector<std::string> archived(const TempDir& dir) {
    std::vector<std::string> kept;
    if (dir.exists("ScanArchive")) {
        for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "ScanArchive")) {
            kept.push_back(scanforms::testing::readFileBytes(entry.path()));
        }
    }
    return kept;
}

TEST(TornTail, OnlyAStationFileWithATornLastLineIsCutAfterItIsKept) {
    struct Case {
        std::string content;
        RecordLayout layout;
        std::string after;
    };
    const Case cases[] = {
        {kWhole + "\"03\",\"C", RecordLayout::TornTail, kWhole},
        {kWhole + "\"03\",\"CDE\"\r", RecordLayout::TornTail, kWhole},
        {"\"0", RecordLayout::TornTail, ""},
        {kWhole, RecordLayout::WholeLines, kWhole},
        {kWhole + "\"03\",\"CDE\"\n", RecordLayout::Foreign, kWhole + "\"03\",\"CDE\"\n"},
        {"\"01\",\"ABC\"\n\"02\",\"BCD\"\n\"0", RecordLayout::Foreign,
         "\"01\",\"ABC\"\n\"02\",\"BCD\"\n\"0"},
        {"notes for the grading\r\n", RecordLayout::Foreign, "notes for the grading\r\n"},
        {"", RecordLayout::NoRecords, ""},
    };
    const std::tm startUp{};
    for (const Case& c : cases) {
        TempDir dir;
        dir.write("Scan.TXT", c.content);
        std::filesystem::last_write_time(
            dir.path() / "Scan.TXT",
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(30));
        const auto old = std::filesystem::last_write_time(dir.path() / "Scan.TXT");
        const TailCut cut = cutTornTail("Scan.TXT", "ScanArchive", kLine, startUp);
        EXPECT_EQ(cut.found.layout, c.layout) << c.content;
        EXPECT_EQ(dir.read("Scan.TXT"), c.after) << c.content;
        const bool torn = c.layout == RecordLayout::TornTail;
        EXPECT_EQ(archived(dir), torn ? std::vector{c.content} : std::vector<std::string>{})
            << c.content;
        EXPECT_EQ(std::filesystem::last_write_time(dir.path() / "Scan.TXT") == old, !torn)
            << c.content;
    }
}

// The folder's own lock, as each state of a lock file left there meets it.
TEST(FolderLock, StaleLocksAreTakenOverFreshOnesRefusedUnreadableOnesFail) {
    constexpr long long kOtherProcess = 17;
    constexpr std::int64_t kThreeMinutes = 180;
    struct Case {
        const char* what;
        const char* lock;  // what .scanforms.lock holds, or no lock
        std::int64_t secondsLater;
        bool otherRuns;
        LockState state;
        std::string reason;
        std::string holder;
    };
    const Case cases[] = {
        {"no lock", nullptr, 0, false, LockState::Locked, "", ""},
        {"empty", "", 0, false, LockState::Locked, "it was empty or could not be read", ""},
        {"garbage", "PK\x03\x04", 0, true, LockState::Locked, "it was empty or could not be read",
         ""},
        {"here, ended", "17\nstation-a\n", 0, false, LockState::Locked,
         "its process no longer runs", "station-a"},
        {"here, running", "17\nstation-a\n", 0, true, LockState::HeldHere, "", "station-a"},
        {"foreign, fresh", "17\nstation-b\n", 0, false, LockState::HeldElsewhere, "", "station-b"},
        {"foreign, old", "17\nstation-b\n", kThreeMinutes, false, LockState::Locked,
         "it was not refreshed for 180 s", "station-b"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (c.lock != nullptr) {
            dir.write(".scanforms.lock", c.lock);
        }
        RecordingFileSystem fs(dir.path());
        if (c.otherRuns) {
            fs.runningProcesses.push_back(kOtherProcess);
        }
        {
            FolderLock lock(dir.path().string(), fs);
            const LockAttempt attempt = lock.lock(secondsNow() + c.secondsLater);
            EXPECT_EQ(attempt.state, c.state) << c.what;
            EXPECT_EQ(attempt.reason, c.reason) << c.what;
            EXPECT_EQ(attempt.holder ? attempt.holder->computer : "", c.holder) << c.what;
            const bool locked = c.state == LockState::Locked;
            EXPECT_EQ(dir.read(".scanforms.lock"), locked ? "4242\nstation-a\n" : c.lock) << c.what;
            if (locked) {
                EXPECT_NO_THROW(lock.refresh()) << c.what;
            }
        }
        EXPECT_EQ(dir.exists(".scanforms.lock"), c.state != LockState::Locked) << c.what;
    }
}

TEST(FolderLock, ALockThatCannotBeMadeOrReadRefusesTheStart) {
    struct Case {
        const char* failingCall;  // or a folder in the lock's place
        std::string reason;
    };
    const Case cases[] = {
        {"createNew .scanforms.lock", "Permission denied"},
        {"open .scanforms.lock", "Permission denied"},
        {nullptr, ".scanforms.lock is a folder"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        RecordingFileSystem fs(dir.path());
        if (c.failingCall == nullptr) {
            std::filesystem::create_directory(dir.path() / ".scanforms.lock");
        } else {
            dir.write(".scanforms.lock", "17\nstation-b\n");
            fs.failOnce(c.failingCall, c.reason);
        }
        FolderLock lock(dir.path().string(), fs);
        const LockAttempt attempt = lock.lock(secondsNow());
        EXPECT_EQ(attempt.state, LockState::Failed) << c.reason;
        EXPECT_EQ(attempt.reason, c.reason);
        EXPECT_EQ(failureOf([&] { lock.refresh(); }), "the folder is not locked");
    }
}

}  // namespace
}  // namespace scanforms::textfile
