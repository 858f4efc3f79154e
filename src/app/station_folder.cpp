// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "app/station_folder.h"

#include <QDir>
#include <QLoggingCategory>
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

HeldFolder::HeldFolder() {
    guard_.emplace(shownFolder, logFolder);
    if (!guard_->locked()) {
        window::showMessageBox(nullptr, guard_->refusal(), BoxStyle::Information, std::nullopt);
        return;
    }
    refreshTimer_.setInterval(textfile::kLockRefreshInterval);
    QObject::connect(&refreshTimer_, &QTimer::timeout, this, [this] { guard_->refresh(); });
    refreshTimer_.start();
}

void keepRecordFileWhole() {
    scanforms::keepRecordFileWhole(logFolder);
}

}  // namespace scanforms::app
