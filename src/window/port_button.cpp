// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "window/port_button.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

namespace scanforms::window {

void PortButton::contextMenuEvent(QContextMenuEvent* event) {
    emit menuRequested(event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                   : belowTheButton());
    event->accept();
}

void PortButton::keyPressEvent(QKeyEvent* event) {
    // The desktop sends the menu key on as a key, not always as a request for
    // a menu; Shift+F10 is the menu key of keyboards without one.
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
        emit menuRequested(belowTheButton());
        event->accept();
        return;
    }
    QRadioButton::keyPressEvent(event);
}

QPoint PortButton::belowTheButton() const {
    return mapToGlobal(rect().bottomLeft());
}

}  // namespace scanforms::window
