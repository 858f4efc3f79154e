// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "window/sheet_motif.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRectF>

namespace scanforms::window {
namespace {

const QColor kPaper(252, 250, 242);
const QColor kDropOutInk(222, 84, 84);
const QColor kHeaderTint(246, 200, 196);
const QColor kPencil(58, 58, 68);
const QColor kTimingMark(20, 20, 20);

constexpr int kRows = 9;
constexpr int kChoices = 5;  // A to E
constexpr int kIdBoxes = 6;

constexpr double rowCentre(int row) {
    return 31.0 + 11.0 * row;
}
constexpr double choiceCentre(int choice) {
    return 30.0 + 20.0 * choice;
}

void drawHeader(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kHeaderTint);
    painter.drawRect(QRectF(15, 4, 108, 17));
    painter.setPen(QPen(kDropOutInk, 1.0));
    for (int box = 0; box < kIdBoxes; ++box) {
        const QRectF cell(20 + 17.0 * box, 7, 13, 11);
        painter.setBrush(kPaper);
        painter.drawRect(cell);
        // The pencilled digit of the sheet identifier, as a short stroke.
        painter.save();
        painter.setPen(QPen(kPencil, 2.0, Qt::SolidLine, Qt::RoundCap));
        const double x = cell.left() + 4 + (box % 3) * 2;
        painter.drawLine(QPointF(x, cell.top() + 3), QPointF(x + 1, cell.bottom() - 3));
        painter.restore();
    }
}

void drawAnswerRows(QPainter& painter) {
    for (int row = 0; row < kRows; ++row) {
        const double y = rowCentre(row);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kTimingMark);
        painter.drawRect(QRectF(3, y - 2, 7, 4));

        const int marked = (row * 3 + 1) % kChoices;
        for (int choice = 0; choice < kChoices; ++choice) {
            const QRectF bubble(choiceCentre(choice) - 7, y - 4, 14, 8);
            painter.setPen(QPen(kDropOutInk, 1.2));
            painter.setBrush(choice == marked ? kPencil : kPaper);
            painter.drawEllipse(bubble);
        }
    }
}

}  // namespace

QImage sheetMotif() {
    QImage image(kSheetMotifSize, kSheetMotifSize, QImage::Format_RGB888);
    image.fill(kPaper);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawHeader(painter);
    drawAnswerRows(painter);
    painter.setPen(QPen(kDropOutInk, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, kSheetMotifSize - 1, kSheetMotifSize - 1));
    return image;
}

}  // namespace scanforms::window
