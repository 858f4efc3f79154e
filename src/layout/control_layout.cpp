// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "layout/control_layout.h"

namespace scanforms::layout {
namespace {

constexpr ControlFont kArial8{"Arial", 8.25, false};
constexpr ControlFont kCalibri12{"Calibri", 12, false};

constexpr Colour kWhite = fixed(255, 255, 255);
constexpr Colour kRed = fixed(255, 0, 0);
constexpr Colour kDarkBlue = fixed(0, 0, 192);
constexpr Colour kLightCyan = fixed(128, 255, 255);

// One constructor per kind of control, so the table below reads one control
// a line.

constexpr ControlLayout textBox(std::string_view name, TwipsRect place, ControlFont font,
                                std::string_view accessibleName) {
    return {.name = name,
            .kind = ControlKind::TextBox,
            .place = place,
            .font = font,
            .takesFocus = true,
            .accessibleName = accessibleName};
}

// The command buttons: one size, one row, a white face.
constexpr ControlLayout button(std::string_view name, std::string_view caption, int left) {
    return {.name = name,
            .kind = ControlKind::CommandButton,
            .caption = caption,
            .place = {left, 4920, 1455, 855},
            .font = kCalibri12,
            .back = kWhite,
            .takesFocus = true};
}

// The Port array: index i is "Com<i+1>", in one row 1080 twips apart.
constexpr ControlLayout port(int index, std::string_view caption) {
    return {.name = "Port",
            .index = index,
            .kind = ControlKind::OptionButton,
            .caption = caption,
            .place = {1800 + 1080 * index, 6240, 975, 375},
            .font = kArial8,
            .text = kHighlightedText,
            .back = kDarkBlue,
            .takesFocus = true};
}

constexpr ControlLayout label(std::string_view name, std::string_view caption, TwipsRect place,
                              ControlFont font, Colour text, Colour back, bool centred) {
    return {.name = name,
            .kind = ControlKind::Label,
            .caption = caption,
            .place = place,
            .font = font,
            .text = text,
            .back = back,
            .centred = centred};
}

constexpr ControlLayout picture(std::string_view name, TwipsRect place,
                                std::string_view accessibleName) {
    return {.name = name,
            .kind = ControlKind::Picture,
            .place = place,
            .accessibleName = accessibleName};
}

constexpr bool kLeft = false;
constexpr bool kCentred = true;

}  // namespace

// clang-format off
constexpr std::array<ControlLayout, 12> kScanControls{{
    textBox("txtProcessing", {1440, 2760, 5655, 975}, kArial8, "Status"),
    button("StartScan", "Start Scanning", 3540),
    port(2, "Com3"),
    port(1, "Com2"),
    port(0, "Com1"),
    button("InitializeScanner", "Initialize Scanner", 1680),
    label("Prompt", "", {1440, 3840, 5655, 735}, {"Arial", 9.75, true}, kWhite, kDarkBlue, kLeft),
    button("Cancel", "Done", 5400),
    label("Label1", "", {2400, 2280, 3615, 375}, {"MS Sans Serif", 9.75, true}, kRed, kLightCyan,
          kLeft),
    label("W", "Which Communications port is your scanner cabled to?", {1560, 6840, 4815, 375},
          {"Arial", 9, true}, kRed, kStyleColour, kCentred),
    port(3, "Com4"),
    picture("Image1", {3360, 240, 1905, 1905}, "Answer sheet"),
}};
// clang-format on

std::string objectNameOf(const ControlLayout& control) {
    std::string name(control.name);
    if (control.index >= 0) {
        name += "_" + std::to_string(control.index);
    }
    return name;
}

namespace {

constexpr bool wholePixels(const TwipsRect& r) {
    return r.left % kTwipsPerPixel == 0 && r.top % kTwipsPerPixel == 0 &&
           r.width % kTwipsPerPixel == 0 && r.height % kTwipsPerPixel == 0;
}

// Every place and size converts to whole pixels, so nothing is rounded.
constexpr bool allWholePixels() {
    for (const ControlLayout& control : kScanControls) {
        if (!wholePixels(control.place)) {
            return false;
        }
    }
    return wholePixels(kScanClientArea);
}
static_assert(allWholePixels());

}  // namespace

}  // namespace scanforms::layout
