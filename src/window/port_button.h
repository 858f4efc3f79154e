// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QPoint>
#include <QRadioButton>

namespace scanforms::window {

// An option button of the Port array that asks for its menu on a right
// click, the menu key or Shift+F10; asking selects nothing.
class PortButton : public QRadioButton {
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

signals:
    // Where on the screen the menu opens: at the pointer, or below the
    // button when asked for from the keyboard.
    void menuRequested(const QPoint& globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPoint belowTheButton() const;
};

}  // namespace scanforms::window
