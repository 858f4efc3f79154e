// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Two stations, one folder: the second is another machine as far as the lock
// can tell (its own process space under unshare, with the same host name),
// and stays out while the holder beats, whatever its clock or the disk's
// time stamps; a holder suspended while its folder was taken records
// nothing more and says so.

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "driver_process.h"
#include "fakes/file_bytes.h"
#include "fakes/temp_dir.h"
#include "sheet_batch.h"
#include "sim_process.h"
#include "synced_fs.h"
#include "wait_for.h"

namespace scanforms::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr char kFakeTime[] = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1";
const DriverProcess::Launch kHolder{{}, {"SCANFORMS_LOCK_REFRESH_MS=500"}};
const std::vector<std::string> kElsewhere = {"unshare", "--user", "--map-root-user", "--uts",
                                             "--pid",   "--fork", "--kill-child"};

std::size_t recordsIn(const fs::path& folder) {
    return fs::exists(folder / "Scan.TXT") ? recordLines(readFileBytes(folder / "Scan.TXT")).size()
                                           : 0;
}

std::string holderHere() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return std::string("the computer ") + name + " (process ";
}

SimProcess::Setup batch(int first, int count) {
    return {sheetItems(cleanSheets(first, count)) + "END\n", true, {}, true};
}

TEST(FolderLock, AStationOfAnotherProcessSpaceIsRefusedWhileTheHolderBeats) {
    ASSERT_TRUE(fs::exists(kFakeTime)) << "apt-get install libfaketime";
    // Under AddressSanitizer the preloaded clock comes before its runtime,
    // which it then refuses unless told not to check the order.
    const char* const sanitizer = std::getenv("ASAN_OPTIONS");
    const std::vector<std::string> fiveMinutesAhead = {
        std::string("LD_PRELOAD=") + kFakeTime, "FAKETIME=+5m",
        std::string("ASAN_OPTIONS=") + (sanitizer ? std::string(sanitizer) + ":" : "") +
            "verify_asan_link_order=0"};
    for (const bool onDiskStoringNowAs1970 : {false, true}) {
        for (const auto& clock : {std::vector<std::string>{}, fiveMinutesAhead}) {
            TempDir scratch;
            std::optional<SyncedFs> disk;
            if (onDiskStoringNowAs1970) {
                fs::create_directories(scratch.path() / "live");
                fs::create_directories(scratch.path() / "disk");
                disk.emplace(scratch.path() / "live", scratch.path() / "disk");
                fs::current_path(scratch.path() / "disk");
            }
            {
                SimProcess simA(batch(1, 300));
                DriverProcess a(simA.linkPath(), "a.txt", kHolder);
                ASSERT_TRUE(waitFor([&] { return recordsIn(".") >= 1 || !a.running(); }, 60s));
                SimProcess simB(batch(9001, 3));
                DriverProcess b(simB.linkPath(), "b.txt", {kElsewhere, clock});
                ASSERT_TRUE(waitFor([&] { return !b.running(); }, 30s)) << b.output();
                EXPECT_EQ(b.exitStatus(), 1);
                EXPECT_NE(b.output().find("box: Scan Forms already runs in this folder on " +
                                          holderHere()),
                          std::string::npos)
                    << b.output();
                EXPECT_TRUE(a.running() && simB.logLines().empty()) << a.output();
            }
            fs::current_path(scratch.path());
        }
    }
}

TEST(FolderLock, AStationSuspendedWhileItsFolderWasTakenRecordsNothingMoreAndSaysSo) {
    TempDir station;
    SimProcess simA(batch(1, 300));
    DriverProcess a(simA.linkPath(), "a.txt", kHolder);
    ASSERT_TRUE(waitFor([&] { return recordsIn(".") >= 3 || !a.running(); }, 60s)) << a.output();
    a.signal(SIGSTOP);
    SimProcess simB(batch(9001, 6));
    DriverProcess b(simB.linkPath(), "b.txt", {kElsewhere, {}});
    ASSERT_TRUE(waitFor([&] { return recordsIn(".") == 1; }, 30s)) << b.output();
    a.signal(SIGCONT);
    EXPECT_TRUE(
        waitFor([&] { return a.output().find("was not recorded") != std::string::npos; }, 30s));
    EXPECT_NE(a.output().find("box: Scan Forms stopped recording: this folder is no longer this "
                              "station's (" +
                              holderHere()),
              std::string::npos)
        << a.output();
    ASSERT_TRUE(waitFor([&] { return !b.running(); }, 60s)) << b.output();
    EXPECT_EQ(station.read("Scan.TXT"), recordsOf(cleanSheets(9001, 6)));
    const std::string kept =
        readFileBytes(fs::directory_iterator(station.path() / "ScanArchive")->path());
    EXPECT_TRUE(kept.starts_with(recordsOf(cleanSheets(1, 3)))) << kept;
}

}  // namespace
}  // namespace scanforms::testing
