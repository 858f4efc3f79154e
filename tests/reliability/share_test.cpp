// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Station folders on shares played by the FUSE disk: one that cannot open a
// file for appending, one too full for the archive copy, one that lets no
// one read Scan.TXT, gvfs's FUSE mount.

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
    explicit Share(std::size_t bytes, const std::string& subtype = {})
        : scratch_(ScratchMount::Kind::Tmpfs, bytes) {
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

// The last batch in Scan.TXT, the scanner with five sheets, Start Scanning.
// smbnetfs answers an open for appending with an I/O error; EACCES refuses
// it outright, and a second press makes no second copy.
TEST(Share, StartScanningWhereNoFileOpensForAppending) {
    for (const int error : {EOPNOTSUPP, EIO, EACCES}) {
        SCOPED_TRACE(error);
        Share share(16 << 20);
        share.disk().refuseOpens([&](const std::string&, int flags) {
            return (flags & O_APPEND) ? error : 0;
        });
        const std::vector<Sheet> sheets = cleanSheets(1, 5);
        std::ofstream("Scan.TXT", std::ios::binary) << recordsOf(cleanSheets(900, 3));
        StationRun station(sheetItems(sheets) + "END\n");
        station.initialize();
        station.startScanning();
        if (error != EACCES) {
            ASSERT_TRUE(station.waitForBoxes(kEndOfBatchBox));
            EXPECT_EQ(readFileBytes("Scan.TXT"), recordsOf(sheets));
        } else {
            station.startScanning();
            EXPECT_EQ(station.boxTexts(),
                      Strings(2, std::string(kFailurePrefix) + "Permission denied: Scan.TXT"));
        }
        EXPECT_EQ(archived(), Strings{recordsOf(cleanSheets(900, 3))});
    }
}

// No "READ" goes out, the status line says so, the box names the file.
TEST(Share, StartScanningThatFailsBeforeTheReadNamesItsFile) {
    struct Case {
        std::size_t disk;
        int readError;
        const char* box;
    };
    for (const Case& c : {Case{3 * 4096, 0, "Disk full: ScanArchive/Scan-"},
                          Case{16 << 20, EACCES, "Permission denied: Scan.TXT"}}) {
        Share share(c.disk);
        share.disk().refuseOpens([&](const std::string& path, int flags) {
            return path == "/Scan.TXT" && (flags & O_ACCMODE) == O_RDONLY ? c.readError : 0;
        });
        std::ofstream("Scan.TXT", std::ios::binary) << recordsOf(cleanSheets(900, 28));
        StationRun station("END\n");
        station.initialize();
        station.startScanning();
        EXPECT_EQ(station.window().statusText(), kBatchNotStarted);
        ASSERT_EQ(station.boxTexts().size(), 1u);
        EXPECT_TRUE(station.boxTexts()[0].starts_with(std::string(kFailurePrefix) + c.box))
            << station.boxTexts()[0];
        EXPECT_EQ(station.sim().logLines(), Strings{"f-3652.800"});
    }
}

TEST(Share, GvfsMountIsNamedBeforeTheWindow) {
    for (const bool gvfs : {true, false}) {
        Share share(1 << 20, gvfs ? "gvfsd-fuse" : "");
        BoxAnswerer boxes;
        app::warnOfFolderThatHoldsWrites();
        ASSERT_EQ(boxes.seen.size(), gvfs ? 1u : 0u);
        EXPECT_TRUE(!gvfs || boxes.seen[0].text.contains("reaches through gvfs"));
    }
}

}  // namespace
}  // namespace scanforms::testing
