// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Two stations, one folder: the second is another machine as far as the lock
// can tell (its own process space under unshare, with the same host name),
// and stays out while the holder beats, whatever its clock or the disk's
// time stamps; a holder that was suspended while its folder was taken
// records nothing more and says so.

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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
const std::vector<std::string> kHolderBeats = {"SCANFORMS_LOCK_REFRESH_MS=500"};

// Another process space, user and host of the same name: no process number
// of the holder means anything there.
DriverProcess::Launch elsewhere(std::vector<std::string> environment = {}) {
    return {{"unshare", "--user", "--map-root-user", "--uts", "--pid", "--fork", "--kill-child"},
            std::move(environment)};
}

std::size_t recordsIn(const fs::path& folder) {
    return fs::exists(folder / "Scan.TXT") ? recordLines(readFileBytes(folder / "Scan.TXT")).size()
                                           : 0;
}

std::string hostName() {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    return name;
}

SimProcess::Setup batch(int first, int count) {
    SimProcess::Setup setup;
    setup.script = sheetItems(cleanSheets(first, count)) + "END\n";
    setup.wireSpeed = true;
    return setup;
}

TEST(FolderLock, AStationOfAnotherProcessSpaceIsRefusedWhileTheHolderBeats) {
    ASSERT_TRUE(fs::exists(kFakeTime)) << "apt-get install libfaketime";
    struct Case {
        const char* what;
        std::vector<std::string> environment;
        bool onDiskStoringNowAs1970;
    };
    const Case cases[] = {
        {"same host name", {}, false},
        {"a clock five minutes ahead", {std::string("LD_PRELOAD=") + kFakeTime, "FAKETIME=+5m"},
         false},
        {"a disk that stores a time set to now as 1970", {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir scratch;
        std::optional<SyncedFs> disk;
        if (c.onDiskStoringNowAs1970) {
            fs::create_directories(scratch.path() / "live");
            fs::create_directories(scratch.path() / "disk");
            disk.emplace(scratch.path() / "live", scratch.path() / "disk");
            fs::current_path(scratch.path() / "disk");
        }
        {
            SimProcess simA(batch(1, 300));
            DriverProcess a(simA.linkPath(), "a.txt", {{}, kHolderBeats});
            ASSERT_TRUE(waitFor([&] { return recordsIn(".") >= 1 || !a.running(); }, 60s))
                << a.output();
            SimProcess simB(batch(9001, 3));
            DriverProcess b(simB.linkPath(), "b.txt", elsewhere(c.environment));
            ASSERT_TRUE(waitFor([&] { return !b.running(); }, 30s)) << b.output();
            EXPECT_EQ(b.exitStatus(), 1);
            EXPECT_NE(b.output().find("box: Scan Forms already runs in this folder on the computer " +
                                      hostName() + " (process "),
                      std::string::npos)
                << b.output();
            EXPECT_TRUE(a.running()) << a.output();
            EXPECT_EQ(simB.logLines().size(), 0u) << "the refused station asked for no sheet";
        }
        fs::current_path(scratch.path());
    }
}

TEST(FolderLock, AStationSuspendedWhileItsFolderWasTakenRecordsNothingMoreAndSaysSo) {
    TempDir station;
    SimProcess simA(batch(1, 300));
    DriverProcess a(simA.linkPath(), "a.txt", {{}, kHolderBeats});
    ASSERT_TRUE(waitFor([&] { return recordsIn(".") >= 3 || !a.running(); }, 60s)) << a.output();
    a.signal(SIGSTOP);

    const std::vector<Sheet> sheetsB = cleanSheets(9001, 6);
    SimProcess simB(batch(9001, 6));
    DriverProcess b(simB.linkPath(), "b.txt", elsewhere());
    ASSERT_TRUE(waitFor([&] { return station.read("Scan.TXT").starts_with(sheetsB[0].record); },
                        30s))
        << b.output();
    a.signal(SIGCONT);
    const std::string lost =
        "box: Scan Forms stopped recording: this folder is no longer this station's (the computer " +
        hostName() + " (process ";
    const std::string notRecorded =
        "box: You have encountered error This folder is no longer this station's: Scan.TXT is "
        "closed, sheet ";
    EXPECT_TRUE(waitFor([&] { return a.output().find(notRecorded) != std::string::npos; }, 30s))
        << a.output();
    EXPECT_NE(a.output().find(lost), std::string::npos) << a.output();
    ASSERT_TRUE(waitFor([&] { return !b.running(); }, 60s)) << b.output();
    EXPECT_EQ(station.read("Scan.TXT"), recordsOf(sheetsB));
    const std::vector<std::string> kept = recordLines(
        readFileBytes(fs::directory_iterator(station.path() / "ScanArchive")->path()));
    ASSERT_GE(kept.size(), 3u);
    EXPECT_EQ(kept[0], cleanSheet(1).record);
}

}  // namespace
}  // namespace scanforms::testing
