// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/scanner_settings.h"

#include <QSettings>

#include "scanner/serial_timeouts.h"
#include "serial/port_map.h"
#include "serial/serial_log.h"

namespace scanforms::serial {
namespace {

using scanner::kLongestSetupAnswerTimeout;
using scanner::kSetupAnswerTimeout;
using scanner::kShortestSetupAnswerTimeout;

constexpr char kSetupAnswerTimeoutKey[] = "scanner/SetupAnswerTimeout";

}  // namespace

std::chrono::milliseconds setupAnswerTimeout() {
    const QString path = QString::fromStdString(settingsFilePath());
    const QSettings settings(path, QSettings::IniFormat);
    const QVariant stored = settings.value(QLatin1String(kSetupAnswerTimeoutKey));
    if (!stored.isValid()) {
        return kSetupAnswerTimeout;
    }
    const QString text = stored.toString().trimmed();
    bool whole = false;
    const std::chrono::seconds seconds{text.toInt(&whole)};
    if (whole && seconds >= kShortestSetupAnswerTimeout && seconds <= kLongestSetupAnswerTimeout) {
        return seconds;
    }
    qCWarning(lcSerial).noquote()
        << QStringLiteral(
               "%1: [scanner] SetupAnswerTimeout=%2 is not a whole number of seconds from %3 "
               "to %4; the default, %5 s, is used")
               .arg(path, loggable(text.toStdString()))
               .arg(kShortestSetupAnswerTimeout.count())
               .arg(kLongestSetupAnswerTimeout.count())
               .arg(kSetupAnswerTimeout.count());
    return kSetupAnswerTimeout;
}

}  // namespace scanforms::serial
