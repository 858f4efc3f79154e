// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The operator played through the Windows API, as a screen reader or a test
// tool sees the Scan window: from its own thread or its own process.
//
//   waitForWindow(caption) --> the Scan window, once shown
//   controlsOf(window) --> each control of the table: class, text, place
//   press(window, "StartScan") --> a posted click, so the driver never
//       waits on the handler it starts
//   answerBox(process) --> a message box's title, text and style, then OK
//
// Every wait polls its condition until a deadline given by the caller.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scanforms::testing::win32 {

// True once `condition` holds; false when `deadline` passed first.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline);

// The visible top-level window captioned `caption`; null after the deadline.
HWND waitForWindow(std::wstring_view caption, std::chrono::milliseconds deadline);

struct ControlSeen {
    std::string name;  // the table's object name: "Port_0"
    std::wstring windowClass;
    std::wstring text;
    RECT place{};  // in the window's client area
};

// Every control of the table that `window` has, in the table's order.
std::vector<ControlSeen> controlsOf(HWND window);
// The client area's size.
SIZE clientSize(HWND window);
HWND controlNamed(HWND window, std::string_view name);
// The text a control holds now, asked of the control.
std::wstring controlText(HWND control);
// Posts a click to the control named `name`; false when there is none.
bool press(HWND window, std::string_view name);

struct BoxSeen {
    std::wstring title;
    std::wstring text;
    int style = 0;  // 0, 48 (exclamation) or 64 (information), by its icon
};

// Waits for a message box of the process `process`, reads it and presses its
// OK button; nothing when none showed before the deadline.
std::optional<BoxSeen> answerBox(DWORD process, std::chrono::milliseconds deadline);

// "box 64 "Scan Forms": <text>", UTF-8, for a log of what the driver saw.
std::string describe(const BoxSeen& box);
std::string describe(const ControlSeen& control);
std::string utf8(std::wstring_view text);

}  // namespace scanforms::testing::win32
