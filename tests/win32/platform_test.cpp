// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The Windows platform's timers, posted work and port map.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <fstream>

#include "win32/win32_platform.h"
#include "win32/win32_text.h"
#include "win32_wait.h"

namespace scanforms::win32 {
namespace {

using namespace std::chrono_literals;
using testing::pumpUntil;

std::string scratch() {
    const std::string folder = environmentVariable("TEMP") + "\\scanforms-platform-test";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

TEST(Win32Platform, TimersNeverEndShortAndPostedWorkRunsAfterTheCallInOrder) {
    Win32Platform platform(scratch() + "\\scanforms.log");
    for (const auto wait : {1ms, 16ms, 41ms}) {
        bool fired = false;
        const auto timer = platform.makeTimer([&] { fired = true; });
        const auto start = std::chrono::steady_clock::now();
        timer->start(wait);
        EXPECT_TRUE(timer->isActive());
        ASSERT_TRUE(pumpUntil([&] { return fired; }, 10s)) << wait.count();
        EXPECT_GE(std::chrono::steady_clock::now() - start, wait);
        EXPECT_FALSE(timer->isActive());
    }
    std::string ran;
    platform.post([&] { ran += "a"; });
    platform.post([&] { ran += "b"; });
    EXPECT_EQ(ran, "");
    ASSERT_TRUE(pumpUntil([&] { return ran == "ab"; }, 10s));
}

TEST(Win32Platform, WorkPostedToADestroyedPlatformIsDropped) {
    bool ran = false;
    {
        Win32Platform platform(scratch() + "\\scanforms.log");
        platform.post([&] { ran = true; });
    }
    bool later = false;
    Win32Platform next(scratch() + "\\scanforms.log");
    next.post([&] { later = true; });
    ASSERT_TRUE(pumpUntil([&] { return later; }, 10s));
    EXPECT_FALSE(ran);
}

TEST(Win32Platform, LogFileGoesToOldAtOneMebibyte) {
    const std::string log = scratch() + "\\rotated.log";
    DeleteFileA((log + ".old").c_str());
    std::ofstream(log, std::ios::binary) << std::string(1024 * 1024, 'x');
    Win32Platform platform(log);
    platform.log(scanner::LogLevel::Warning, "COM12: gone");
    std::ifstream fresh(log, std::ios::binary);
    std::string line;
    std::getline(fresh, line);
    EXPECT_TRUE(line.ends_with(" warning scanforms.serial: COM12: gone\r")) << line;
    std::ifstream old(log + ".old", std::ios::binary | std::ios::ate);
    EXPECT_EQ(old.tellg(), 1024 * 1024);
}

struct MapCase {
    const char* name;
    const char* variable;  // SCANFORMS_COM2, empty for unset
    const char* settings;  // scanforms.ini's bytes
    const char* device;
};

class PortMap : public ::testing::TestWithParam<MapCase> {};

TEST_P(PortMap, VariableThenSettingsFileThenTheDefault) {
    const std::string appData = scratch();
    SetEnvironmentVariableA("APPDATA", appData.c_str());
    CreateDirectoryA((appData + "\\scanforms").c_str(), nullptr);
    std::ofstream(appData + "\\scanforms\\scanforms.ini", std::ios::binary) << GetParam().settings;
    SetEnvironmentVariableA("SCANFORMS_COM2", GetParam().variable);
    Win32Platform platform(appData + "\\scanforms.log");
    EXPECT_EQ(platform.portDevice(2), GetParam().device);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PortMap,
    ::testing::Values(MapCase{"Variable", "\\\\.\\COM12", "[ports]\r\nCom2=COM7\r\n", "\\\\.\\COM12"},
                      MapCase{"SettingsFile", "", "[Ports]\r\ncom2 = COM12 \r\n", "COM12"},
                      MapCase{"OtherPortMapped", "", "[ports]\nCom1=COM7\n", "COM2"},
                      MapCase{"NoFile", "", "", "COM2"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace scanforms::win32
