// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QPushButton>

namespace scanforms::window {

// A push button whose caption wraps onto more lines when it is wider than
// the button, as "Initialize Scanner" is at its fixed size. Return and Space
// press it (a held key's repeats are kept away by the window's HeldKeyFilter).
class CommandButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace scanforms::window
