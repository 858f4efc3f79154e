// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// Port files that are not what the program writes: a directory, a file the
// program may not read, a file of 100 MB, binary bytes, a pipe, a device, a
// link that leads nowhere. Creating the window shows one standard failure
// box with a clear description, selects no port, and the window opens.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLabel>
#include <QRadioButton>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "box_answerer.h"
#include "fakes/temp_dir.h"
#include "ordinary_file_access.h"
#include "serial/qt_platform.h"
#include "station/operator_texts.h"
#include "window/scan_window.h"

namespace scanforms::testing {

using window::ScanWindow;
namespace {

constexpr std::size_t kHundredMegabytes = 100 * 1024 * 1024;
constexpr char kPortFile[] = "Com.TXT";

void writeRepeated(const TempDir& folder, char byte, std::size_t size) {
    std::ofstream out(folder.path() / kPortFile, std::ios::binary);
    const std::string block(1024 * 1024, byte);
    for (std::size_t written = 0; written < size; written += block.size()) {
        out << block;
    }
}

void makeSparse(const TempDir& folder, std::size_t size) {
    std::ofstream(folder.path() / kPortFile).close();
    std::filesystem::resize_file(folder.path() / kPortFile, size);
}

TEST(BadPortFile, StartUpReportsItOnceAndOpensTheWindow) {
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> make;
        std::string description;
        bool asOrdinaryUser = false;
    };
    const Case cases[] = {
        {"a directory",
         [](const TempDir& f) { std::filesystem::create_directory(f.path() / kPortFile); },
         "Path/File access error"},
        {"a file without read permission",
         [](const TempDir& f) {
             f.write(kPortFile, "1\r\n");
             std::filesystem::permissions(f.path() / kPortFile, std::filesystem::perms::none);
         },
         "Permission denied", true},
        {"100 MB of digits and no line end",
         [](const TempDir& f) { writeRepeated(f, '7', kHundredMegabytes); }, "Overflow"},
        {"100 MB of NUL bytes", [](const TempDir& f) { makeSparse(f, kHundredMegabytes); },
         "Type mismatch"},
        {"binary bytes",
         [](const TempDir& f) {
             f.write(kPortFile, std::string("\x7f"
                                            "ELF\x02\x01\x01\0\0\xff\xfe,\r\n",
                                            15));
         },
         "Type mismatch"},
        {"a named pipe with no writer",
         [](const TempDir& f) { ASSERT_EQ(::mkfifo((f.path() / kPortFile).c_str(), 0644), 0); },
         "Bad file mode"},
        {"a link to a device",
         [](const TempDir& f) {
             std::filesystem::create_symlink("/dev/zero", f.path() / kPortFile);
         },
         "Bad file mode"},
        {"a link to nowhere",
         [](const TempDir& f) {
             std::filesystem::create_symlink("gone/Com.TXT", f.path() / kPortFile);
         },
         "File not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        c.make(folder);
        BoxAnswerer boxes;
        serial::SerialComm comm;
        std::unique_ptr<ScanWindow> window;
        {
            // As root, mode bits do not stop a read: drop that power for the
            // start-up that should be refused.
            std::unique_ptr<OrdinaryFileAccess> ordinary;
            if (c.asOrdinaryUser) {
                ordinary = std::make_unique<OrdinaryFileAccess>();
            }
            window = std::make_unique<ScanWindow>(comm);
        }
        window->show();
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].text.toStdString(), kFailurePrefix + c.description);
        for (auto* port : window->findChildren<QRadioButton*>()) {
            EXPECT_FALSE(port->isChecked()) << "no port chosen";
        }
        EXPECT_EQ(window->findChild<QLabel*>("Prompt")->text().toStdString(),
                  "Get ready -- Turn scanner power switch on, load your forms.");
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(folder.heldOpen("Com.TXT")) << "the port file is closed again";
    }
}

}  // namespace
}  // namespace scanforms::testing
