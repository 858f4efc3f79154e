// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The Scan window on Windows, over the fake scanner, as the driver sees it
// from a thread of its own through the Windows API: every control's class,
// caption, place and size; the boxes' titles, texts and styles; a held key.

#include "win32window/scan_window.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "fakes/fake_scanner.h"
#include "fakes/temp_dir.h"
#include "layout/control_layout.h"
#include "win32/window_driver.h"
#include "win32window/port_menu.h"
#include "win32window/wide_text.h"

namespace scanforms::testing {
namespace {

using namespace std::chrono_literals;
namespace driver = testing::win32;

const std::wstring kCaption = L"KOVA SCAN FORMS 2021 A.3";

// Runs the window's loop on this thread while `operate` plays the operator
// on another; the operator ends the program (Done or the close box).
void operate(Scanner& scanner, const std::function<void(HWND)>& operatorSteps,
             const scanforms::win32::PortMenuSources& ports = {}) {
    const DWORD windowThread = GetCurrentThreadId();
    std::thread driverThread([&] {
        HWND window = driver::waitForWindow(kCaption, 10s);
        if (window == nullptr) {
            ADD_FAILURE() << "the Scan window did not show within 10 s";
            PostThreadMessageW(windowThread, WM_QUIT, 0, 0);
            return;
        }
        operatorSteps(window);
    });
    {
        scanforms::win32::ScanWindow window(scanner, ports, {});
        window.run();
    }
    driverThread.join();
}

std::string statusOf(HWND window) {
    return scanforms::win32::toBytes(
        driver::controlText(driver::controlNamed(window, "txtProcessing")));
}

TEST(Win32ScanWindow, EveryControlStandsWhereTheFormPutsIt) {
    TempDir folder;
    folder.write("Com.TXT", "1\r\n");
    std::vector<std::string> calls;
    FakeScanner scanner(calls);
    std::vector<driver::ControlSeen> seen;
    SIZE client{};
    operate(scanner, [&](HWND window) {
        seen = driver::controlsOf(window);
        client = driver::clientSize(window);
        PostMessageW(window, WM_CLOSE, 0, 0);
    });

    struct Expected {
        const char* name;
        const wchar_t* windowClass;
        const wchar_t* caption;
        RECT place;  // left, top, right, bottom in pixels
    };
    const Expected expected[] = {
        {"txtProcessing", L"Edit", L"", {96, 184, 473, 249}},
        {"StartScan", L"Button", L"Start Scanning", {236, 328, 333, 385}},
        {"Port_2", L"Button", L"Com3", {264, 416, 329, 441}},
        {"Port_1", L"Button", L"Com2", {192, 416, 257, 441}},
        {"Port_0", L"Button", L"Com1", {120, 416, 185, 441}},
        {"InitializeScanner", L"Button", L"Initialize Scanner", {112, 328, 209, 385}},
        {"Prompt",
         L"Static",
         L"Get ready -- Turn scanner power switch on, load your forms.",
         {96, 256, 473, 305}},
        {"Cancel", L"Button", L"Done", {360, 328, 457, 385}},
        {"Label1", L"Static", L"", {160, 152, 401, 177}},
        {"W",
         L"Static",
         L"Which Communications port is your scanner cabled to?",
         {104, 456, 425, 481}},
        {"Port_3", L"Button", L"Com4", {336, 416, 401, 441}},
        {"Image1", L"Static", L"", {224, 16, 351, 143}},
    };
    EXPECT_EQ(client.cx, 566);
    EXPECT_EQ(client.cy, 535);
    ASSERT_EQ(seen.size(), std::size(expected));
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const Expected& want = expected[i];
        EXPECT_EQ(seen[i].name, want.name);
        EXPECT_EQ(_wcsicmp(seen[i].windowClass.c_str(), want.windowClass), 0) << want.name;
        EXPECT_EQ(seen[i].text, want.caption) << want.name;
        EXPECT_EQ(driver::describe(seen[i]),
                  driver::describe({want.name, seen[i].windowClass, want.caption, want.place}));
    }
}

// The scanner's events come on the window's thread; a timer there raises
// the one the operator asked for.
std::atomic<bool> endOfBatchWanted{false};
FakeScanner* timedScanner = nullptr;

void CALLBACK raiseWanted(HWND, UINT, UINT_PTR, DWORD) {
    if (endOfBatchWanted.exchange(false)) {
        timedScanner->raiseEndOfBatch();
        // A sheet the scanner pulled after the batch, which Done names.
        timedScanner->held.sheets = {"0123456789004219XYZ1234567" + std::string(200, '@')};
    }
}

TEST(Win32ScanWindow, BoxesCarryTheStationsTitlesTextsAndStyles) {
    TempDir folder;
    folder.write("Com.TXT", "1\r\n");
    std::vector<std::string> calls;
    FakeScanner scanner(calls);
    scanner.failing["setUp"] = "Port is busy";
    timedScanner = &scanner;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, raiseWanted);
    std::vector<std::string> boxes;
    const DWORD self = GetCurrentProcessId();
    const auto answer = [&] {
        const auto box = driver::answerBox(self, 10s);
        boxes.push_back(box ? driver::describe(*box) : "no box within 10 s");
    };
    operate(scanner, [&](HWND window) {
        driver::press(window, "InitializeScanner");
        answer();
        endOfBatchWanted = true;
        answer();
        driver::press(window, "Cancel");
        answer();
        answer();
    });
    KillTimer(nullptr, timer);
    EXPECT_EQ(boxes,
              (std::vector<std::string>{
                  "box 64 \"Scan Forms\": You have encountered error Port is busy",
                  "box 0 \"Scan Forms\": End of Batch",
                  "box 64 \"Press scanner END button.\": Press the END button on your scanner.",
                  "box 48 \"Scan Forms\": Sheet 004219 was read after Done and is not in "
                  "Scan.TXT. It must be scanned again.",
              }));
}

// Return on a focused button presses it; a held key's repeats (Return, or
// Space and its release) press nothing, not even Done.
TEST(Win32ScanWindow, HeldKeysPressNoButton) {
    TempDir folder;
    folder.write("Com.TXT", "1\r\n");
    std::vector<std::string> calls;
    FakeScanner scanner(calls);
    bool started = false;
    std::optional<driver::BoxSeen> doneBox;
    operate(scanner, [&](HWND window) {
        HWND done = driver::controlNamed(window, "Cancel");
        const LPARAM repeat = LPARAM{1} << 30;
        PostMessageW(done, WM_KEYDOWN, VK_RETURN, repeat | 1);
        PostMessageW(done, WM_KEYDOWN, VK_SPACE, repeat | 1);
        PostMessageW(done, WM_KEYUP, VK_SPACE, LPARAM{3} << 30 | 1);
        // Posted after the repeats, so handled after them.
        PostMessageW(driver::controlNamed(window, "StartScan"), WM_KEYDOWN, VK_RETURN, 1);
        started = driver::waitUntil(
            [&] { return statusOf(window) == "Please initialize the scanner first."; }, 10s);
        doneBox = driver::answerBox(GetCurrentProcessId(), 0ms);
        PostMessageW(window, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(started);
    EXPECT_FALSE(doneBox) << driver::describe(*doneBox);
}

// Each port button's tooltip names the device the port opens.
TEST(Win32PortMenu, TooltipsNameTheDevicesThePortsOpen) {
    TempDir folder;
    folder.write("Com.TXT", "1\r\n");
    std::vector<std::string> calls;
    FakeScanner scanner(calls);
    scanforms::win32::PortMenuSources ports;
    ports.opens = [](std::int16_t port) { return "COM" + std::to_string(port * 3); };
    std::vector<std::wstring> tips;
    operate(scanner, [&](HWND window) {
        HWND tooltip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
        while (tooltip != nullptr && GetWindow(tooltip, GW_OWNER) != window) {
            tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr);
        }
        for (WPARAM i = 0; tooltip != nullptr; ++i) {
            wchar_t text[80] = {};
            TTTOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.lpszText = text;
            if (SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)) == 0) {
                break;
            }
            tips.emplace_back(text);
        }
        PostMessageW(window, WM_CLOSE, 0, 0);
    }, ports);
    EXPECT_EQ(tips, (std::vector<std::wstring>{L"Com1 opens COM3", L"Com2 opens COM6",
                                                L"Com3 opens COM9", L"Com4 opens COM12"}));
}

// A port's menu: the system's ports with their friendly names, the one the
// port opens now checked whatever its spelling, one the system does not list
// added, and the default last.
TEST(Win32PortMenu, ListsThePortsAndChecksTheOneOpenedNow) {
    struct Case {
        const char* opens;
        std::vector<std::wstring> entries;  // the checked one marked *
    };
    const Case cases[] = {
        {"COM1", {L"COM1  (Communications Port)", L"COM3  (USB Serial Port)", L"*Default (COM1)"}},
        {"\\\\.\\com3",
         {L"COM1  (Communications Port)", L"*COM3  (USB Serial Port)", L"Default (COM1)"}},
        {"COM12",
         {L"COM1  (Communications Port)", L"COM3  (USB Serial Port)", L"*COM12",
          L"Default (COM1)"}},
    };
    for (const Case& c : cases) {
        scanforms::win32::PortMenuSources sources;
        sources.ports = [] {
            return std::vector<scanforms::win32::SerialPort>{{"COM1", "Communications Port"},
                                                                 {"COM3", "USB Serial Port"}};
        };
        sources.opens = [&](std::int16_t) { return std::string(c.opens); };
        sources.opensByDefault = [](std::int16_t) { return std::string("COM1"); };
        std::vector<std::wstring> seen;
        for (const auto& entry : scanforms::win32::portMenuEntries(sources, 1)) {
            seen.push_back((entry.checked ? L"*" : L"") + entry.text);
        }
        EXPECT_EQ(seen, c.entries) << c.opens;
    }
}

}  // namespace
}  // namespace scanforms::testing
