// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <string>

#include "station/station_view.h"

class QWidget;

namespace scanforms::window {

// Shows a modal box with one OK button, which Return and Escape also answer,
// and returns once the operator dismissed it. The style picks the icon; the
// text is shown as plain text, exactly as given.
void showMessageBox(QWidget* parent, const std::string& text, BoxStyle style,
                    const std::optional<std::string>& title);

// The desktop's beep.
void beep();

}  // namespace scanforms::window
