// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32window/scan_controls.h"

#include <cmath>

#include "win32window/resource_ids.h"
#include "win32window/wide_text.h"

namespace scanforms::win32 {
namespace {

using layout::ControlKind;
using layout::ControlLayout;
using layout::toPixels;

COLORREF rgbOf(const layout::Rgb& rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

std::optional<COLORREF> colourOf(const layout::Colour& colour) {
    switch (colour.source) {
        case layout::Colour::Source::Fixed:
            return rgbOf(colour.rgb);
        case layout::Colour::Source::HighlightedText:
            return GetSysColor(COLOR_HIGHLIGHTTEXT);
        case layout::Colour::Source::Style:
            break;
    }
    return std::nullopt;
}

struct ClassAndStyle {
    const wchar_t* windowClass;
    DWORD style;
    DWORD extendedStyle;
};

ClassAndStyle classOf(const ControlLayout& control) {
    switch (control.kind) {
        case ControlKind::TextBox:
            return {L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_LEFT, WS_EX_CLIENTEDGE};
        case ControlKind::CommandButton:
            return {L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE, 0};
        case ControlKind::OptionButton:
            return {L"BUTTON", BS_AUTORADIOBUTTON, 0};
        case ControlKind::Label:
            // No ampersand marks a shortcut: a caption shows its bytes.
            return {L"STATIC",
                    static_cast<DWORD>(SS_NOPREFIX | (control.centred ? SS_CENTER : SS_LEFT)), 0};
        case ControlKind::Picture:
            return {L"STATIC", SS_BITMAP, 0};
    }
    return {L"STATIC", 0, 0};
}

bool sameFont(const layout::ControlFont& a, const layout::ControlFont& b) {
    return a.face == b.face && a.points == b.points && a.bold == b.bold;
}

}  // namespace

ScanControls::ScanControls(HWND parent, HINSTANCE instance)
    : windowBrush_(CreateSolidBrush(rgbOf(layout::kScanBackground))) {
    for (std::size_t row = 0; row < layout::kScanControls.size(); ++row) {
        const ControlLayout& control = layout::kScanControls[row];
        Paint paint;
        paint.text = colourOf(control.text);
        if (const auto back = colourOf(control.back)) {
            paint.back = *back;
            paint.backBrush = brushOf(*back);
        } else if (control.kind != ControlKind::TextBox) {
            // Labels and buttons show the window's background around them.
            paint.back = rgbOf(layout::kScanBackground);
            paint.backBrush = windowBrush_;
        }
        paints_.push_back(paint);
        controls_.push_back(create(control, row, parent, instance));
    }
}

// The controls themselves go with their parent window.
ScanControls::~ScanControls() {
    for (const auto& [font, handle] : fonts_) {
        DeleteObject(handle);
    }
    for (const auto& [colour, brush] : brushes_) {
        DeleteObject(brush);
    }
    DeleteObject(windowBrush_);
    if (picture_ != nullptr) {
        DeleteObject(picture_);
    }
}

HWND ScanControls::create(const ControlLayout& control, std::size_t row, HWND parent,
                          HINSTANCE instance) {
    const ClassAndStyle kind = classOf(control);
    const DWORD style = WS_CHILD | WS_VISIBLE | kind.style | (control.takesFocus ? WS_TABSTOP : 0);
    HWND handle = CreateWindowExW(
        kind.extendedStyle, kind.windowClass, fromBytes(control.caption).c_str(), style,
        toPixels(control.place.left), toPixels(control.place.top), toPixels(control.place.width),
        toPixels(control.place.height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(row))), instance, nullptr);
    if (handle == nullptr) {
        return nullptr;
    }
    if (!control.font.face.empty()) {
        SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(control.font)), FALSE);
    }
    if (control.kind == ControlKind::Picture) {
        picture_ =
            static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(SCANFORMS_SHEET_MOTIF),
                                            IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        if (picture_ != nullptr) {
            SendMessageW(handle, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
        }
    }
    return handle;
}

HFONT ScanControls::fontOf(const layout::ControlFont& font) {
    for (const auto& [made, handle] : fonts_) {
        if (sameFont(made, font)) {
            return handle;
        }
    }
    // Points at 96 dots per inch, the resolution the table's pixels are at;
    // a negative height asks for the character's height, as points measure.
    const int height = -static_cast<int>(std::lround(font.points * 96.0 / 72.0));
    HFONT handle =
        CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    VARIABLE_PITCH | FF_SWISS, fromBytes(font.face).c_str());
    fonts_.emplace_back(font, handle);
    return handle;
}

HBRUSH ScanControls::brushOf(COLORREF colour) {
    for (const auto& [made, brush] : brushes_) {
        if (made == colour) {
            return brush;
        }
    }
    HBRUSH brush = CreateSolidBrush(colour);
    brushes_.emplace_back(colour, brush);
    return brush;
}

HWND ScanControls::find(std::string_view name, int index) const {
    for (std::size_t row = 0; row < controls_.size(); ++row) {
        const ControlLayout& control = layout::kScanControls[row];
        if (control.name == name && control.index == index) {
            return controls_[row];
        }
    }
    return nullptr;
}

std::optional<std::size_t> ScanControls::rowOf(HWND control) const {
    for (std::size_t row = 0; row < controls_.size(); ++row) {
        if (controls_[row] == control) {
            return row;
        }
    }
    return std::nullopt;
}

const layout::ControlLayout* ScanControls::layoutOf(HWND control) const {
    const auto row = rowOf(control);
    return row ? &layout::kScanControls[*row] : nullptr;
}

HBRUSH ScanControls::paint(HWND control, HDC dc) const {
    const auto row = rowOf(control);
    if (!row) {
        return nullptr;
    }
    const Paint& paint = paints_[*row];
    if (paint.text) {
        SetTextColor(dc, *paint.text);
    }
    if (paint.backBrush != nullptr) {
        SetBkColor(dc, paint.back);
    }
    return paint.backBrush;
}

}  // namespace scanforms::win32
