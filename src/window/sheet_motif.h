// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QImage>

namespace scanforms::window {

inline constexpr int kSheetMotifSize = 127;

// The window's picture and icon: a corner of an answer sheet, drawn here
// rather than shipped as a file. Timing marks run down the left edge, the
// answer bubbles are printed in drop-out red, and one bubble a row is
// pencilled in. 127 x 127 pixels, 24 bits a pixel.
QImage sheetMotif();

}  // namespace scanforms::window
