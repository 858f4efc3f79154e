// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "window/held_key_filter.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace scanforms::window {
namespace {

bool pressesButtons(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

}  // namespace

HeldKeyFilter::HeldKeyFilter() {
    QCoreApplication::instance()->installEventFilter(this);
}

bool HeldKeyFilter::eventFilter(QObject* receiver, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Show) {
        forgetKeysBeforeBox(receiver);
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) {
        return false;
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (!pressesButtons(key.key())) {
        return false;
    }
    if (type == QEvent::KeyRelease) {
        noteRelease(key);
        return false;
    }
    if (isRepeat(key) && qobject_cast<QAbstractButton*>(receiver) != nullptr) {
        event->accept();
        return true;
    }
    return false;
}

bool HeldKeyFilter::isRepeat(const QKeyEvent& press) {
    Key& key = keys_[press.key()];
    const quint64 time = press.timestamp();
    const bool timed = time != 0;
    // One press reaches the filter once for each receiver it is handed to
    // (the window, the focused control, its parents): the same time again is
    // the same press.
    const bool samePress = timed && key.state != KeyState::Up && time == key.time;
    if (!samePress) {
        const bool releasedThisInstant = timed && key.state == KeyState::Up && time == key.time;
        const bool repeat =
            press.isAutoRepeat() || key.state != KeyState::Up || releasedThisInstant;
        key = {repeat ? KeyState::Repeating : KeyState::Pressed, time};
    }
    return press.isAutoRepeat() || key.state == KeyState::Repeating;
}

void HeldKeyFilter::forgetKeysBeforeBox(QObject* shown) {
    // A key held since before the box keeps its repeats: flagged, or a
    // release and a press at one instant. What else was down then may have
    // been released where the program never saw it (the window under the
    // key went away with the box its press answered): taken for still down,
    // it would swallow the deliberate press that answers this box.
    const auto* widget = qobject_cast<const QWidget*>(shown);
    if (widget != nullptr && widget->isWindow() && widget->isModal()) {
        keys_.clear();
    }
}

void HeldKeyFilter::noteRelease(const QKeyEvent& release) {
    // A flagged release is half of a repeat: the key stays down.
    if (!release.isAutoRepeat()) {
        keys_[release.key()] = {KeyState::Up, release.timestamp()};
    }
}

}  // namespace scanforms::window
