// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QPushButton>

namespace scanforms::window {

// A push button whose caption wraps onto more lines when it is wider than
// the button, as "Initialize Scanner" is at its fixed size. Return presses
// it, but a held key's repeats do not: Return held down to answer a box would
// otherwise go on to press Start Scanning and empty Scan.TXT.
class CommandButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace scanforms::window
