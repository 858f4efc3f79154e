// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "window/control_factory.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextOption>
#include <optional>

#include "window/command_button.h"
#include "window/latin1.h"
#include "window/port_button.h"

namespace scanforms::window {

using namespace layout;
namespace {

QRect pixelsOf(const TwipsRect& place) {
    return {toPixels(place.left), toPixels(place.top), toPixels(place.width),
            toPixels(place.height)};
}

QWidget* widgetOfKind(const ControlLayout& control, QWidget* parent, const QImage& picture) {
    const QString caption = fromBytes(control.caption);
    switch (control.kind) {
        case ControlKind::TextBox: {
            auto* box = new QPlainTextEdit(caption, parent);
            box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            // Tab moves on to the next control instead of typing a tab.
            box->setTabChangesFocus(true);
            return box;
        }
        case ControlKind::CommandButton: {
            auto* button = new CommandButton(caption, parent);
            // Return presses the button that has the focus, as Space does.
            button->setAutoDefault(true);
            return button;
        }
        case ControlKind::OptionButton:
            return new PortButton(caption, parent);
        case ControlKind::Label: {
            auto* label = new QLabel(caption, parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignTop |
                                (control.centred ? Qt::AlignHCenter : Qt::AlignLeft));
            return label;
        }
        case ControlKind::Picture: {
            auto* image = new QLabel(parent);
            image->setPixmap(QPixmap::fromImage(picture));
            image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return image;
        }
    }
    return nullptr;
}

std::optional<QColor> colourOf(const Colour& colour) {
    switch (colour.source) {
        case Colour::Source::Fixed:
            return QColor(colour.rgb.red, colour.rgb.green, colour.rgb.blue);
        case Colour::Source::HighlightedText:
            return QApplication::palette().color(QPalette::HighlightedText);
        case Colour::Source::Style:
            break;
    }
    return std::nullopt;
}

void applyColours(QWidget* widget, const ControlLayout& control) {
    // Each kind of widget names the roles it paints its text and its face or
    // background with (a label: WindowText on Window; a button: ButtonText on
    // Button; an option button: WindowText on Button).
    QPalette palette = widget->palette();
    if (const auto text = colourOf(control.text)) {
        palette.setColor(widget->foregroundRole(), *text);
    }
    if (const auto back = colourOf(control.back)) {
        palette.setColor(widget->backgroundRole(), *back);
        // Labels and option buttons paint their own background; a button's
        // face is drawn by the style from the Button colour.
        widget->setAutoFillBackground(control.kind != ControlKind::CommandButton);
    }
    widget->setPalette(palette);
}

}  // namespace

QFont fontOf(const ControlFont& wanted) {
    QFont font(fromBytes(wanted.face));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(wanted.points);
    font.setWeight(wanted.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QWidget* createControl(const ControlLayout& control, QWidget* parent, const QImage& picture) {
    QWidget* widget = widgetOfKind(control, parent, picture);
    widget->setObjectName(QString::fromStdString(objectNameOf(control)));
    widget->setGeometry(pixelsOf(control.place));
    if (!control.font.face.empty()) {
        widget->setFont(fontOf(control.font));
    }
    applyColours(widget, control);
    if (!control.accessibleName.empty()) {
        widget->setAccessibleName(fromBytes(control.accessibleName));
    }
    if (!control.takesFocus) {
        widget->setFocusPolicy(Qt::NoFocus);
    }
    return widget;
}

}  // namespace scanforms::window
