// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32/window_driver.h"

#include <thread>

#include "layout/control_layout.h"
#include "win32window/scan_controls.h"

namespace scanforms::testing::win32 {
namespace {

constexpr std::chrono::milliseconds kPoll{10};
// The text of a message box is the static control with this ID.
constexpr int kBoxTextId = 0xFFFF;

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, 64)));
}

struct BoxSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK findBox(HWND window, LPARAM search) {
    auto& wanted = *reinterpret_cast<BoxSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if ((wanted.process == 0 || process == wanted.process) && IsWindowVisible(window) != FALSE &&
        classOf(window) == L"#32770" && GetDlgItem(window, kBoxTextId) != nullptr) {
        wanted.found = window;
        return FALSE;
    }
    return TRUE;
}

// The style a box's icon tells: the system's shared icons are one handle
// each, whoever loads them.
int styleOf(HWND box) {
    HICON shown = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (classOf(child) == L"Static" || classOf(child) == L"STATIC") {
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                IsWindowVisible(child) != FALSE) {
                shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            }
        }
    }
    if (shown == nullptr) {
        return 0;
    }
    if (shown == LoadIconW(nullptr, MAKEINTRESOURCEW(32515))) {  // IDI_EXCLAMATION
        return MB_ICONEXCLAMATION;
    }
    if (shown == LoadIconW(nullptr, MAKEINTRESOURCEW(32516))) {  // IDI_ASTERISK
        return MB_ICONINFORMATION;
    }
    return -1;  // an icon the station never shows
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

HWND waitForWindow(std::wstring_view caption, std::chrono::milliseconds deadline) {
    HWND found = nullptr;
    const std::wstring wanted(caption);
    waitUntil(
        [&] {
            found = FindWindowW(nullptr, wanted.c_str());
            return found != nullptr && IsWindowVisible(found) != FALSE;
        },
        deadline);
    return found != nullptr && IsWindowVisible(found) != FALSE ? found : nullptr;
}

std::vector<ControlSeen> controlsOf(HWND window) {
    std::vector<ControlSeen> seen;
    for (std::size_t row = 0; row < layout::kScanControls.size(); ++row) {
        HWND control = GetDlgItem(window, scanforms::win32::controlId(row));
        if (control == nullptr) {
            continue;
        }
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        seen.push_back({layout::objectNameOf(layout::kScanControls[row]), classOf(control),
                        textOf(control), place});
    }
    return seen;
}

SIZE clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

HWND controlNamed(HWND window, std::string_view name) {
    for (std::size_t row = 0; row < layout::kScanControls.size(); ++row) {
        if (layout::objectNameOf(layout::kScanControls[row]) == name) {
            return GetDlgItem(window, scanforms::win32::controlId(row));
        }
    }
    return nullptr;
}

bool press(HWND window, std::string_view name) {
    HWND control = controlNamed(window, name);
    return control != nullptr && PostMessageW(control, BM_CLICK, 0, 0) != FALSE;
}

std::optional<BoxSeen> answerBox(DWORD process, std::chrono::milliseconds deadline) {
    BoxSearch search{process, nullptr};
    if (!waitUntil(
            [&] {
                search.found = nullptr;
                EnumWindows(findBox, reinterpret_cast<LPARAM>(&search));
                return search.found != nullptr;
            },
            deadline)) {
        return std::nullopt;
    }
    HWND box = search.found;
    BoxSeen seen{textOf(box), textOf(GetDlgItem(box, kBoxTextId)), styleOf(box)};
    if (HWND ok = GetDlgItem(box, IDOK); ok != nullptr) {
        PostMessageW(ok, BM_CLICK, 0, 0);
    } else {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    // The next box may reuse the handle: this one is gone first.
    waitUntil([&] { return IsWindow(box) == FALSE || IsWindowVisible(box) == FALSE; }, deadline);
    return seen;
}

std::string utf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

std::string describe(const BoxSeen& box) {
    return "box " + std::to_string(box.style) + " \"" + utf8(box.title) + "\": " + utf8(box.text);
}

std::string describe(const ControlSeen& control) {
    const RECT& r = control.place;
    return control.name + " " + utf8(control.windowClass) + " " + std::to_string(r.left) + "," +
           std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top) + " \"" + utf8(control.text) + "\"";
}

}  // namespace scanforms::testing::win32
