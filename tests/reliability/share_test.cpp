// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Station folders on shares that are no plain local disk, played by the
// FUSE disk: one that cannot open a file for appending, one that lets no
// one read Scan.TXT, gvfs's FUSE mount; and a disk too full for the archive.

#include <fcntl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/folder_share.h"
#include "fakes/file_bytes.h"
#include "scratch_mount.h"
#include "sheet_batch.h"
#include "station_run.h"
#include "synced_fs.h"

namespace scanforms::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

std::vector<std::string> archived() {
    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator("ScanArchive")) {
        kept.push_back(readFileBytes(entry.path()));
    }
    return kept;
}

// The FUSE disk on a scratch tmpfs, the current directory while it lives.
class Share {
public:
    explicit Share(const std::string& subtype = {})
        : scratch_(ScratchMount::Kind::Tmpfs, 16 << 20) {
        fs::create_directory(scratch_.path() / "live");
        fs::create_directory(scratch_.path() / "disk");
        disk_.emplace(scratch_.path() / "live", scratch_.path() / "disk", subtype);
        fs::current_path(scratch_.path() / "disk");
    }
    ~Share() { fs::current_path(scratch_.path()); }
    SyncedFs& disk() { return *disk_; }

private:
    ScratchMount scratch_;
    std::optional<SyncedFs> disk_;
};

// smbnetfs answers an open for appending with an I/O error.
TEST(Share, StartScanningWhereNoFileOpensForAppending) {
    struct Case {
        const char* what;
        int error;
        bool starts;
    };
    for (const Case& c : {Case{"not supported", EOPNOTSUPP, true}, Case{"I/O error", EIO, true},
                          Case{"not permitted", EACCES, false}}) {
        SCOPED_TRACE(c.what);
        Share share;
        share.disk().refuseOpens(
            [&](const std::string&, int flags) { return (flags & O_APPEND) ? c.error : 0; });
        const std::vector<Sheet> last = cleanSheets(900, 3);
        const std::vector<Sheet> sheets = cleanSheets(1, 5);
        std::ofstream("Scan.TXT", std::ios::binary) << recordsOf(last);
        StationRun station(sheetItems(sheets) + "END\n");
        station.initialize();
        station.startScanning();
        if (c.starts) {
            ASSERT_TRUE(station.waitForBoxes(kEndOfBatchBox));
            EXPECT_EQ(readFileBytes("Scan.TXT"), recordsOf(sheets));
        } else {
            station.startScanning();
            EXPECT_EQ(station.boxTexts(),
                      Strings(2, std::string(kFailurePrefix) + "Permission denied: Scan.TXT"));
            EXPECT_EQ(station.sim().logLines(), Strings{"f-3652.800"});
        }
        EXPECT_EQ(archived(), Strings{recordsOf(last)}) << "one copy of the last batch";
    }
}

TEST(Share, StartScanningThatFailsBeforeTheReadNamesItsFile) {
    struct Case {
        const char* what;
        bool fullDisk;
        const char* box;
    };
    for (const Case& c : {Case{"the archive copy fills the disk", true, "Disk full: ScanArchive/"},
                          Case{"Scan.TXT unreadable", false, "Permission denied: Scan.TXT"}}) {
        SCOPED_TRACE(c.what);
        std::optional<ScratchMount> small;
        std::optional<Share> share;
        if (c.fullDisk) {
            small.emplace(ScratchMount::Kind::Tmpfs, 3 * 4096);
        } else {
            share.emplace();
            share->disk().refuseOpens([](const std::string& path, int flags) {
                return path == "/Scan.TXT" && (flags & O_ACCMODE) == O_RDONLY ? EACCES : 0;
            });
        }
        std::ofstream("Scan.TXT", std::ios::binary) << recordsOf(cleanSheets(900, 28));
        StationRun station("END\n");
        station.initialize();
        station.startScanning();
        EXPECT_EQ(station.window().statusText(), kBatchNotStarted);
        ASSERT_EQ(station.boxTexts().size(), 1u);
        EXPECT_EQ(station.boxTexts()[0].rfind(std::string(kFailurePrefix) + c.box, 0), 0u)
            << station.boxTexts()[0];
        EXPECT_EQ(station.sim().logLines(), Strings{"f-3652.800"});
    }
}

TEST(Share, GvfsMountIsNamedBeforeTheWindow) {
    for (const bool gvfs : {true, false}) {
        Share share(gvfs ? "gvfsd-fuse" : "");
        BoxAnswerer boxes;
        app::warnOfFolderThatHoldsWrites();
        ASSERT_EQ(boxes.seen.size(), gvfs ? 1u : 0u);
        if (gvfs) {
            EXPECT_TRUE(boxes.seen[0].text.contains("reaches through gvfs")) << boxes.seen[0].text.toStdString();
        }
    }
}

}  // namespace
}  // namespace scanforms::testing
