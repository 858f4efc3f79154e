// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32window/message_box.h"

#include "win32window/wide_text.h"

namespace scanforms::win32 {

static_assert(static_cast<UINT>(BoxStyle::Plain) == MB_OK);
static_assert(static_cast<UINT>(BoxStyle::Exclamation) == MB_ICONEXCLAMATION);
static_assert(static_cast<UINT>(BoxStyle::Information) == MB_ICONINFORMATION);

void showMessageBox(HWND owner, const std::string& text, BoxStyle style,
                    const std::optional<std::string>& title) {
    const std::wstring caption = fromBytes(title ? *title : std::string(kApplicationTitle));
    // A box over no window stops the whole program's windows, as one over the
    // Scan window stops that window.
    const UINT modality = owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL;
    MessageBoxW(owner, fromBytes(text).c_str(), caption.c_str(),
                MB_OK | static_cast<UINT>(style) | modality | MB_SETFOREGROUND);
}

void beep() {
    MessageBeep(MB_OK);
}

}  // namespace scanforms::win32
