// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/scanner_settings.h"

#include <QSettings>

#include "scanner/serial_timeouts.h"
#include "serial/port_map.h"
#include "serial/serial_log.h"

namespace scanforms::serial {
namespace {

constexpr char kSetupAnswerTimeoutKey[] = "scanner/SetupAnswerTimeout";

}  // namespace

std::chrono::milliseconds setupAnswerTimeout() {
    const QString path = QString::fromStdString(settingsFilePath());
    const QSettings settings(path, QSettings::IniFormat);
    const QVariant stored = settings.value(QLatin1String(kSetupAnswerTimeoutKey));
    if (!stored.isValid()) {
        return scanner::kSetupAnswerTimeout;
    }
    std::string problem;
    const auto wait = scanner::setupAnswerTimeoutOf(stored.toString().toStdString(), problem);
    if (!problem.empty()) {
        qCWarning(lcSerial).noquote() << path + QStringLiteral(": ") + QString::fromStdString(problem);
    }
    return wait;
}

}  // namespace scanforms::serial
