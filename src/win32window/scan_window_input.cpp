// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The Scan window's loop and what reaches it from the keyboard and the mouse
// beyond a click: the keys the loop presses or drops, and the port menus.

#include "win32window/message_box.h"
#include "win32window/scan_window.h"

namespace scanforms::win32 {
namespace {

using layout::ControlKind;

// Set in a WM_KEYDOWN's lParam when the key was down already: a repeat.
constexpr LPARAM kRepeatBit = LPARAM{1} << 30;

}  // namespace

void ScanWindow::onContextMenu(HWND control, LPARAM at) {
    const int index = portIndexOf(control);
    if (index < 0 || !portMenus_.ports) {
        return;
    }
    POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (at == -1) {
        // From the keyboard (the menu key, Shift+F10): below the button.
        RECT button{};
        GetWindowRect(control, &button);
        point = {button.left, button.bottom};
    }
    if (const auto failure =
            showPortMenu(portMenus_, window_, static_cast<std::int16_t>(index + 1), point)) {
        showMessageBox(window_, *failure, BoxStyle::Information, std::nullopt);
    }
    updatePortTips();
}

bool ScanWindow::keyHandled(const MSG& message) {
    if (message.message != WM_KEYDOWN ||
        (message.wParam != VK_RETURN && message.wParam != VK_SPACE)) {
        return false;
    }
    const layout::ControlLayout* control = controls_->layoutOf(message.hwnd);
    if (control == nullptr || (control->kind != ControlKind::CommandButton &&
                               control->kind != ControlKind::OptionButton)) {
        return false;
    }
    if ((message.lParam & kRepeatBit) != 0) {
        return true;  // a held key: its first press was the deliberate one
    }
    if (message.wParam == VK_RETURN && control->kind == ControlKind::CommandButton) {
        SendMessageW(message.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    return false;  // Space: the button presses itself on its release
}

int ScanWindow::run() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetFocus(status_);
    MSG message{};
    while (!finished_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // A quit asked for from elsewhere ends the loop, and is left
            // for whoever runs a loop outside this one.
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam));
            }
            break;
        }
        if (keyHandled(message) ||
            (window_ != nullptr && IsDialogMessageW(window_, &message) != FALSE)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

void ScanWindow::finish() {
    finished_ = true;
    // Wakes the loop, which may be waiting for the next message.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

}  // namespace scanforms::win32
