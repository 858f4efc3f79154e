// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "app/station_folder.h"

#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLoggingCategory>
#include <QProgressDialog>
#include <string>

#include "window/latin1.h"
#include "window/message_box.h"

namespace scanforms::app {
namespace {

Q_LOGGING_CATEGORY(lcFolder, "scanforms.folder", QtInfoMsg)

void logFolder(bool warning, const std::string& line) {
    if (warning) {
        qCWarning(lcFolder).noquote() << QString::fromStdString(line);
    } else {
        qCInfo(lcFolder).noquote() << QString::fromStdString(line);
    }
}

// The folder as the operator knows it; the lock itself keeps its bytes.
std::string shownFolder() {
    return window::toBytes(QDir::toNativeSeparators(QDir::currentPath()));
}

}  // namespace

HeldFolder::HeldFolder(std::chrono::milliseconds refreshInterval) {
    guard_.emplace(shownFolder, logFolder, refreshInterval);
    watch();
    if (!guard_->locked()) {
        if (!guard_->refusal().empty()) {
            window::showMessageBox(nullptr, guard_->refusal(), BoxStyle::Information,
                                   std::nullopt);
        }
        return;
    }
    refreshTimer_.setInterval(refreshInterval);
    QObject::connect(&refreshTimer_, &QTimer::timeout, this, [this] {
        if (!guard_->refresh()) {
            refreshTimer_.stop();
        }
    });
    refreshTimer_.start();
}

void HeldFolder::watch() {
    if (!guard_->watching()) {
        return;
    }
    constexpr int kWatchWidth = 480;
    QProgressDialog watch;
    auto* label = new QLabel(&watch);
    label->setWordWrap(true);
    watch.setLabel(label);
    watch.setMinimumWidth(kWatchWidth);
    watch.setWindowTitle(QStringLiteral("Scan Forms"));
    watch.setRange(0, 0);
    watch.setLabelText(window::fromBytes(guard_->watchText()));
    watch.show();
    QEventLoop loop;
    QObject::connect(&watch, &QProgressDialog::canceled, &loop, [&] {
        guard_->giveUp();
        loop.quit();
    });
    QTimer look;
    look.setInterval(FolderGuard::kLookEvery);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        guard_->look();
        if (guard_->watching()) {
            watch.setLabelText(window::fromBytes(guard_->watchText()));
        } else {
            loop.quit();
        }
    });
    look.start();
    loop.exec();
}

void keepRecordFileWhole() {
    scanforms::keepRecordFileWhole(logFolder);
}

}  // namespace scanforms::app
