// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The Scan window's controls on Windows, one standard control per row of the
// control table (layout/control_layout.h), created in the table's order,
// which is the tab order:
//
//   TextBox --> EDIT (multi-line)       CommandButton --> BUTTON BS_PUSHBUTTON
//   Label   --> STATIC (left, centred)  OptionButton  --> BUTTON BS_AUTORADIOBUTTON
//   Picture --> STATIC SS_BITMAP, the sheet motif from the resources
//
// Each has the table's place and size in pixels (15 twips a pixel), its font
// and its caption as window text; its ID is its row's (controlId), so a
// driver or a screen reader finds it. The colours are given when the control
// asks its parent (WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLOREDIT).

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "layout/control_layout.h"

namespace scanforms::win32 {

// The control ID of the table's row `row`, clear of IDOK and IDCANCEL, which
// the dialog keys send.
constexpr int controlId(std::size_t row) {
    return 100 + static_cast<int>(row);
}

class ScanControls {
public:
    ScanControls(HWND parent, HINSTANCE instance);
    ~ScanControls();
    ScanControls(const ScanControls&) = delete;
    ScanControls& operator=(const ScanControls&) = delete;

    // The control of the table's name and array index.
    HWND find(std::string_view name, int index = -1) const;
    // The table's row of `control`, or nothing for a window not built here.
    std::optional<std::size_t> rowOf(HWND control) const;
    const layout::ControlLayout* layoutOf(HWND control) const;

    // Sets the colours `control` paints with on `dc`; returns the brush of
    // its background, or null where the system's own is meant.
    HBRUSH paint(HWND control, HDC dc) const;
    HBRUSH windowBackground() const { return windowBrush_; }

private:
    struct Paint {
        std::optional<COLORREF> text;
        COLORREF back = 0;
        HBRUSH backBrush = nullptr;  // null: the system's own
    };

    HWND create(const layout::ControlLayout& control, std::size_t row, HWND parent,
                HINSTANCE instance);
    HFONT fontOf(const layout::ControlFont& font);
    HBRUSH brushOf(COLORREF colour);

    std::vector<HWND> controls_;  // by row
    std::vector<Paint> paints_;   // by row
    std::vector<std::pair<layout::ControlFont, HFONT>> fonts_;
    std::vector<std::pair<COLORREF, HBRUSH>> brushes_;
    HBRUSH windowBrush_ = nullptr;
    HBITMAP picture_ = nullptr;
};

}  // namespace scanforms::win32
