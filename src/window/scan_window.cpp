// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "window/scan_window.h"

#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdint>

#include "common/log_text.h"
#include "window/control_factory.h"
#include "window/latin1.h"
#include "window/message_box.h"
#include "window/sheet_motif.h"

namespace scanforms::window {

using namespace layout;
namespace {

Q_LOGGING_CATEGORY(lcStation, "scanforms.station", QtInfoMsg)

// A screen reader shows the Scan window as a frame with its caption, as it
// does a program's main window, rather than as a pane.
QAccessibleInterface* scanWindowAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(ScanWindow::staticMetaObject.className()) ||
        !object->isWidgetType()) {
        return nullptr;
    }
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

ScanWindow::ScanWindow(Scanner& scanner, QWidget* parent)
    : QWidget(parent), station_(*this, scanner) {
    [[maybe_unused]] static const bool asFrame = [] {
        QAccessible::installFactory(scanWindowAccessible);
        return true;
    }();
    setObjectName(QStringLiteral("Scan"));
    setWindowTitle(fromBytes(kScanCaption));
    QPalette background = palette();
    background.setColor(QPalette::Window,
                        QColor(kScanBackground.red, kScanBackground.green, kScanBackground.blue));
    setPalette(background);
    setAutoFillBackground(true);
    // A fixed frame: the controls are laid out for this one client area, which
    // opens at its stored place on the screen where the desktop allows it.
    setGeometry(toPixels(kScanClientArea.left), toPixels(kScanClientArea.top),
                toPixels(kScanClientArea.width), toPixels(kScanClientArea.height));
    setFixedSize(size());

    buildControls();
    connectClicks();
    txtProcessing_->setFocus();

    station_.onWindowCreated();
}

ScanWindow::~ScanWindow() {
    station_.onWindowDestroyed();
}

void ScanWindow::closeEvent(QCloseEvent* event) {
    // The box naming a sheet on the line shows over the window, before it goes.
    station_.onCloseBoxClicked();
    QWidget::closeEvent(event);
}

void ScanWindow::buildControls() {
    const QImage motif = sheetMotif();
    setWindowIcon(QPixmap::fromImage(motif));

    QWidget* previous = nullptr;
    for (const ControlLayout& control : kScanControls) {
        QWidget* widget = createControl(control, this, motif);
        if (control.takesFocus) {
            if (previous != nullptr) {
                setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }

    txtProcessing_ = findChild<QPlainTextEdit*>(QStringLiteral("txtProcessing"));
    startScan_ = findChild<QPushButton*>(QStringLiteral("StartScan"));
    initializeScanner_ = findChild<QPushButton*>(QStringLiteral("InitializeScanner"));
    cancel_ = findChild<QPushButton*>(QStringLiteral("Cancel"));
    prompt_ = findChild<QLabel*>(QStringLiteral("Prompt"));
    label1_ = findChild<QLabel*>(QStringLiteral("Label1"));
    // The option buttons sit directly on the window: one group, at most one
    // of them selected.
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (int i = 0; i < kPortCount; ++i) {
        PortButton* button = findChild<PortButton*>(QStringLiteral("Port_%1").arg(i));
        port_[static_cast<std::size_t>(i)] = button;
        group->addButton(button, i);
        connect(button, &PortButton::menuRequested, this,
                [this, i](const QPoint& at) { emit portMenuRequested(i, at); });
    }
    connect(group, &QButtonGroup::idToggled, this, [this] { updatePortTabStops(); });

    connect(txtProcessing_, &QPlainTextEdit::textChanged, this, [this] {
        if (!writingStatus_) {
            statusBytes_.reset();
        }
    });
}

void ScanWindow::updatePortTabStops() {
    // Tab enters the Port group at its selected button only, and the arrow
    // keys move within the group; while none is selected each is a tab stop.
    const bool anySelected =
        std::any_of(port_.begin(), port_.end(), [](const PortButton* b) { return b->isChecked(); });
    for (PortButton* button : port_) {
        button->setFocusPolicy(!anySelected || button->isChecked() ? Qt::StrongFocus
                                                                   : Qt::ClickFocus);
    }
}

void ScanWindow::onClick(QPushButton* button, void (Station::*handler)()) {
    connect(button, &QPushButton::clicked, this, [this, handler] { (station_.*handler)(); });
}

void ScanWindow::connectClicks() {
    onClick(startScan_, &Station::onStartScanningClicked);
    onClick(initializeScanner_, &Station::onInitializeClicked);
    onClick(cancel_, &Station::onDoneClicked);
    // A click on an option button, also on the one already selected, is a
    // port choice.
    for (int i = 0; i < kPortCount; ++i) {
        connect(port_[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [this, i] { station_.onPortClicked(i); });
    }
}

void ScanWindow::setPortTips(const std::array<std::string, kPortCount>& tips) {
    for (std::size_t i = 0; i < tips.size(); ++i) {
        port_[i]->setToolTip(QString::fromStdString(tips[i]));
        port_[i]->setAccessibleDescription(QString::fromStdString(tips[i]));
    }
}

std::string ScanWindow::statusText() const {
    return statusBytes_ ? *statusBytes_ : toBytes(txtProcessing_->toPlainText());
}

void ScanWindow::setStatusText(const std::string& text) {
    // The box tells the accessibility bus itself (text removed, text
    // inserted), so a screen reader reads each new status line.
    writingStatus_ = true;
    txtProcessing_->setPlainText(fromBytes(text));
    writingStatus_ = false;
    statusBytes_ = text;
}

void ScanWindow::setPromptCaption(const std::string& text) {
    prompt_->setText(fromBytes(text));
}

void ScanWindow::setLabel1Caption(const std::string& text) {
    label1_->setText(fromBytes(text));
}

bool ScanWindow::portSelected(int index) const {
    return port_.at(static_cast<std::size_t>(index))->isChecked();
}

void ScanWindow::selectPort(int index) {
    // setChecked changes the selection without a click; the station makes
    // the port choice itself.
    port_.at(static_cast<std::size_t>(index))->setChecked(true);
}

void ScanWindow::messageBox(const std::string& text, BoxStyle style,
                            const std::optional<std::string>& title) {
    showMessageBox(this, text, style, title);
}

void ScanWindow::beep() {
    window::beep();
}

void ScanWindow::log(const std::string& line) {
    qCInfo(lcStation).noquote() << QString::fromStdString(logText(line));
}

void ScanWindow::endProgram() {
    hide();
    emit programEnded();
}

}  // namespace scanforms::window
