// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The folder at start-up: a torn last record cut off Scan.TXT after the file
// was kept, and the lock against a second station in its every state.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
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
using namespace std::chrono_literals;

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
        {kWhole + "03\",\"C", RecordLayout::Foreign, kWhole + "03\",\"C"},
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
        RecordingFileSystem fs(dir.path());
        const TailCut cut = cutTornTail("Scan.TXT", "ScanArchive", kLine, startUp, fs);
        EXPECT_EQ(cut.found.layout, c.layout) << c.content;
        EXPECT_EQ(dir.read("Scan.TXT"), c.after) << c.content;
        const bool torn = c.layout == RecordLayout::TornTail;
        EXPECT_EQ(archived(dir), torn ? std::vector{c.content} : std::vector<std::string>{})
            << c.content;
        EXPECT_EQ(std::filesystem::last_write_time(dir.path() / "Scan.TXT") == old, !torn)
            << c.content;
        const std::vector<std::string> cutAndSynced = {"truncate Scan.TXT", "syncData Scan.TXT"};
        EXPECT_EQ(torn && fs.log.size() > 2 &&
                      std::vector(fs.log.end() - 3, fs.log.end() - 1) == cutAndSynced,
                  torn)
            << c.content;
    }
}

std::string lockOf(const char* machine, long long process, int heartbeat = 0) {
    return lockText({{process, "station-b", machine}, "b0", std::uint64_t(heartbeat), 1000ms});
}

// The folder's own lock, as each lock file left there meets it at first look.
TEST(FolderLock, OnlyALockOfThisMachineWhoseProcessIsGoneIsTakenAtOnce) {
    struct Case {
        const char* what;
        std::optional<std::string> lock;
        LockState state;
        std::string reason;
    };
    const Case cases[] = {
        {"no lock", std::nullopt, LockState::Locked, ""},
        {"here, running", lockOf("machine-a", 17), LockState::HeldHere, ""},
        {"here, ended", lockOf("machine-a", 99), LockState::Locked, "its process no longer runs"},
        {"here, a run before a restart with this very process number", lockOf("machine-a", 4242),
         LockState::Locked, "its process no longer runs"},
        {"same host name, another machine", lockOf("machine-b", 99), LockState::Watching, ""},
        {"no machine identity", lockOf("", 99), LockState::Watching, ""},
        {"empty", "", LockState::Watching, ""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (c.lock) {
            dir.write(".scanforms.lock", *c.lock);
        }
        RecordingFileSystem fs(dir.path());
        fs.runningProcesses = {17, 4242};
        {
            FolderLock lock(dir.path().string(), 30s, fs);
            const LockAttempt attempt = lock.lock(LockClock::now());
            EXPECT_EQ(attempt.state, c.state) << c.what;
            EXPECT_EQ(attempt.reason, c.reason) << c.what;
            const auto found = parseLockText(dir.read(".scanforms.lock"));
            const bool locked = c.state == LockState::Locked;
            EXPECT_EQ(found && found->identity.process == 4242, locked) << c.what;
        }
        EXPECT_EQ(dir.exists(".scanforms.lock"), c.state != LockState::Locked) << c.what;
    }
}

// Another machine's lock, watched by this one's monotonic clock only.
TEST(FolderLock, AWatchedLockIsTakenOnlyWhenItStaysTwoOfItsIntervals) {
    for (const bool moves : {false, true}) {
        TempDir dir;
        dir.write(".scanforms.lock", lockOf("machine-b", 17));
        RecordingFileSystem fs(dir.path());
        FolderLock lock(dir.path().string(), 30s, fs);
        const LockClock::time_point start = LockClock::now();
        EXPECT_EQ(lock.lock(start).state, LockState::Watching);
        EXPECT_EQ(lock.lock(start + 1999ms).state, LockState::Watching);
        if (moves) {
            dir.write(".scanforms.lock", lockOf("machine-b", 17, 1));
        }
        const LockAttempt attempt = lock.lock(start + 2000ms);
        EXPECT_EQ(attempt.state, moves ? LockState::HeldElsewhere : LockState::Locked);
        EXPECT_EQ(attempt.reason, moves ? "" : "its heartbeat did not move for 2 s");
    }
}

// The lock counts only once whole and synced; a refresh and the end touch
// only this run's lock.
TEST(FolderLock, ALockIsPlacedSyncedAndLeftToTheStationThatTookItOver) {
    TempDir dir;
    RecordingFileSystem fs(dir.path());
    auto lock = std::make_unique<FolderLock>(dir.path().string(), 30s, fs);
    ASSERT_EQ(lock->lock(LockClock::now()).state, LockState::Locked);
    const auto placing = std::find_if(fs.log.begin(), fs.log.end(), [](const std::string& e) {
        return e.starts_with("placeUnderFreeName");
    });
    ASSERT_NE(placing, fs.log.end());
    EXPECT_TRUE(std::prev(placing)->starts_with("syncData .scanforms.lock."))
        << *std::prev(placing);
    EXPECT_EQ(lock->refresh(), std::nullopt);
    EXPECT_EQ(parseLockText(dir.read(".scanforms.lock"))->heartbeat, 1u);
    EXPECT_EQ(fs.log.back(), "syncData .scanforms.lock");

    dir.write(".scanforms.lock.b", lockOf("machine-b", 17));
    std::filesystem::rename(dir.path() / ".scanforms.lock.b", dir.path() / ".scanforms.lock");
    const std::string takenOver = "the computer station-b (process 17) took it over";
    EXPECT_EQ(lock->refresh(), takenOver);
    EXPECT_EQ(lock->lostTo(), takenOver);
    lock.reset();
    EXPECT_EQ(dir.read(".scanforms.lock"), lockOf("machine-b", 17));
}

TEST(FolderLock, ALockThatCannotBeMadeOrReadRefusesTheStart) {
    struct Case {
        const char* failingCall;  // or a folder in the lock's place
        std::string reason;
    };
    const Case cases[] = {
        {"open .scanforms.lock", "Permission denied"},
        {nullptr, ".scanforms.lock is a folder"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        RecordingFileSystem fs(dir.path());
        FolderLock lock(dir.path().string(), 30s, fs);
        if (c.failingCall == nullptr) {
            std::filesystem::create_directory(dir.path() / ".scanforms.lock");
        } else {
            dir.write(".scanforms.lock", lockOf("machine-b", 17));
            fs.failOnce(c.failingCall, c.reason);
        }
        const LockAttempt attempt = lock.lock(LockClock::now());
        EXPECT_EQ(attempt.state, LockState::Failed) << c.reason;
        EXPECT_EQ(attempt.reason, c.reason);
        EXPECT_EQ(failureOf([&] { lock.refresh(); }), "the folder is not locked");
    }
}

}  // namespace
}  // namespace scanforms::textfile
