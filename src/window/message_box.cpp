// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "window/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "window/latin1.h"

namespace scanforms::window {
namespace {

QMessageBox::Icon iconOf(BoxStyle style) {
    switch (style) {
        case BoxStyle::Exclamation:
            return QMessageBox::Warning;
        case BoxStyle::Information:
            return QMessageBox::Information;
        case BoxStyle::Plain:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void showMessageBox(QWidget* parent, const std::string& text, BoxStyle style,
                    const std::optional<std::string>& title) {
    QMessageBox box(parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(iconOf(style));
    box.setWindowTitle(title ? fromBytes(*title) : QString::fromLatin1(scanforms::kApplicationTitle));
    box.setTextFormat(Qt::PlainText);
    box.setText(fromBytes(text));
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

void beep() {
    QApplication::beep();
}

}  // namespace scanforms::window
