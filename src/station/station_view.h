// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <string>

namespace scanforms {

// The title of every message box that gives none of its own.
inline constexpr char kApplicationTitle[] = "Scan Forms";

// Message box styles: the icon shown beside the text.
enum class BoxStyle : int {
    Plain = 0,         // no icon
    Exclamation = 48,  // warning icon
    Information = 64,  // information icon
};

// What the station's handlers do with the Scan window and the desktop. The
// real window implements it with widgets; tests implement it with a recorder.
// Texts are bytes, as the scanner and the files give them.
class StationView {
public:
    virtual ~StationView() = default;

    // The status line (the text of txtProcessing).
    virtual std::string statusText() const = 0;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setPromptCaption(const std::string& text) = 0;
    virtual void setLabel1Caption(const std::string& text) = 0;

    // The four Port option buttons, index 0 ("Com1") to 3 ("Com4").
    virtual bool portSelected(int index) const = 0;
    // Selects one button (the others clear) without raising its click; the
    // station runs the port choice itself, as a click would.
    virtual void selectPort(int index) = 0;

    // A modal box with one OK button; returns when the operator dismissed it.
    // Without a title of its own the box carries the application's title.
    virtual void messageBox(const std::string& text, BoxStyle style,
                            const std::optional<std::string>& title) = 0;
    virtual void beep() = 0;
    // One line for the station's log: what happened to a batch, a sheet or
    // a file, for whoever looks into a run afterwards.
    virtual void log(const std::string& line) = 0;
    // Ends the program at once: no further handler runs.
    virtual void endProgram() = 0;
};

}  // namespace scanforms
