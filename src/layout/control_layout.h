// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The Scan window as it was laid out: its caption, client area and colour,
// and every control with its name, kind, initial caption, place, size, font
// and colours, in tab order. Geometry is in twips (1/1440 inch) and becomes
// pixels at 15 twips a pixel (96 dots per inch).
//
// The scanner component is not in the table: it is invisible at run time, so
// it has no widget; the window is handed the component instead.

#include <array>
#include <string>
#include <string_view>

namespace scanforms::layout {

inline constexpr int kTwipsPerPixel = 15;

constexpr int toPixels(int twips) {
    return twips / kTwipsPerPixel;
}

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// A control's colour: the style's own, a fixed RGB value, or the desktop's
// colour for highlighted text.
struct Colour {
    enum class Source { Style, Fixed, HighlightedText };
    Source source = Source::Style;
    Rgb rgb{};
};

inline constexpr Colour kStyleColour{};
inline constexpr Colour kHighlightedText{Colour::Source::HighlightedText, {}};
constexpr Colour fixed(int red, int green, int blue) {
    return {Colour::Source::Fixed, {red, green, blue}};
}

struct ControlFont {
    std::string_view face{};
    double points = 0;
    bool bold = false;
};

enum class ControlKind { TextBox, CommandButton, OptionButton, Label, Picture };

struct ControlLayout {
    std::string_view name{};
    int index = -1;  // place in a control array, -1 when not in one
    ControlKind kind = ControlKind::Label;
    std::string_view caption{};
    TwipsRect place{};
    ControlFont font{};  // no face: the control shows no text
    Colour text{};       // the text colour
    Colour back{};       // the background, or a button's face
    bool centred = false;
    bool takesFocus = false;
    // What a screen reader calls a control that shows no caption of its own;
    // the others are called by their caption.
    std::string_view accessibleName{};
};

// The widget's object name: the control's name, and for a member of a
// control array its index after an underscore ("Port_0" to "Port_3").
std::string objectNameOf(const ControlLayout& control);

inline constexpr std::string_view kScanCaption = "KOVA SCAN FORMS 2021 A.3";
// The client area at its stored place on the screen.
inline constexpr TwipsRect kScanClientArea{1650, 1905, 8490, 8025};
inline constexpr Rgb kScanBackground{255, 255, 255};

inline constexpr int kPortCount = 4;

// Every visible control; the ones that take the focus come in tab order.
extern const std::array<ControlLayout, 12> kScanControls;

}  // namespace scanforms::layout
