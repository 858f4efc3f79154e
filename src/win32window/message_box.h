// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The station's boxes and beep on Windows: the system's own MessageBoxW, whose
// icon styles are the station's numbers (MB_ICONEXCLAMATION is 48,
// MB_ICONINFORMATION 64), and MessageBeep.

#include <windows.h>

#include <optional>
#include <string>

#include "station/station_view.h"

namespace scanforms::win32 {

// Shows a modal box with one OK button, which Return, Space and Escape also
// answer, over `owner` (none: over the whole program), and returns once the
// operator dismissed it. Without a title of its own the box carries the
// application's title.
void showMessageBox(HWND owner, const std::string& text, BoxStyle style,
                    const std::optional<std::string>& title);

// The system's default beep.
void beep();

}  // namespace scanforms::win32
