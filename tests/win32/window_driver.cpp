// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32/window_driver.h"

#include <algorithm>
#include <thread>

#include "layout/control_layout.h"
#include "win32window/scan_controls.h"
#include "win32/win32_text.h"
#include "win32window/wide_text.h"

namespace scanforms::testing::win32 {
namespace {

constexpr std::chrono::milliseconds kPoll{10};
// The text of a message box is the static control with this ID.
constexpr int kBoxTextId = 0xFFFF;

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

// How many of `shown`'s pixels `icon` drawn on the same background gives.
int matchingPixels(HDC screen, const RECT& shown, HICON icon) {
    const int width = shown.right - shown.left;
    const int height = shown.bottom - shown.top;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP drawn = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, drawn);
    HBRUSH background = CreateSolidBrush(GetPixel(screen, shown.left, shown.top));
    const RECT all{0, 0, width, height};
    FillRect(memory, &all, background);
    DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    int matching = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            matching += GetPixel(memory, x, y) == GetPixel(screen, shown.left + x, shown.top + y);
        }
    }
    DeleteObject(background);
    SelectObject(memory, previous);
    DeleteObject(drawn);
    DeleteDC(memory);
    return matching;
}

// The style a box's icon tells. In the box's own process the system's icons
// are one handle each; from another process the icon is told by its pixels
// on the screen, against the system's icons drawn here.
int styleOf(HWND box) {
    HWND iconControl = nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(classOf(child).c_str(), L"Static") == 0 &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            IsWindowVisible(child) != FALSE) {
            iconControl = child;
        }
    }
    const auto shown = reinterpret_cast<HICON>(
        iconControl != nullptr ? SendMessageW(iconControl, STM_GETICON, 0, 0) : 0);
    if (shown == nullptr) {
        return 0;
    }
    const HICON exclamation = LoadIconW(nullptr, MAKEINTRESOURCEW(32515));  // IDI_EXCLAMATION
    const HICON information = LoadIconW(nullptr, MAKEINTRESOURCEW(32516));  // IDI_ASTERISK
    if (shown == exclamation || shown == information) {
        return shown == exclamation ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
    }
    RECT place{};
    GetWindowRect(iconControl, &place);
    HDC screen = GetDC(nullptr);
    const int asExclamation = matchingPixels(screen, place, exclamation);
    const int asInformation = matchingPixels(screen, place, information);
    ReleaseDC(nullptr, screen);
    const int pixels = (place.right - place.left) * (place.bottom - place.top);
    // Nine in ten pixels alike: the same icon, whatever edge the screen's
    // blending gave it.
    if (std::max(asExclamation, asInformation) * 10 < pixels * 9) {
        return -1;  // an icon the station never shows
    }
    return asExclamation > asInformation ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
}

}  // namespace

std::wstring controlText(HWND window) {
    // Asked of the control itself: the text an edit box holds is not the
    // one the system keeps for a window of another process.
    constexpr UINT kAnswerWithin = 2000;  // ms
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerWithin, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, kAnswerWithin, &copied);
    text.resize(copied);
    return text;
}

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
                        controlText(control), place});
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
    BoxSeen seen{controlText(box), controlText(GetDlgItem(box, kBoxTextId)), styleOf(box)};
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
    return scanforms::win32::toUtf8(text);
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
