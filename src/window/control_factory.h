// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QFont>
#include <QImage>

#include "layout/control_layout.h"

class QWidget;

namespace scanforms::window {

// The font a control asks for. Faces missing on the desktop fall back to a
// sans face; fontconfig maps Arial and Calibri to their metric twins.
QFont fontOf(const layout::ControlFont& wanted);

// Creates one control of the table as a child of `parent`: the widget of its
// kind, with its object name, caption, geometry, font and colours. A picture
// shows `picture` at its natural size.
QWidget* createControl(const layout::ControlLayout& control, QWidget* parent, const QImage& picture);

}  // namespace scanforms::window
