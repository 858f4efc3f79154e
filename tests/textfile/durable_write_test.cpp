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
    EXPECT_EQ(fs.log, (Strings{"open Scan.TXT", "syncDirectory ."}));
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

}  // namespace
}  // namespace scanforms::textfile
