// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/serial_log.h"

#include "common/log_text.h"

namespace scanforms::serial {

Q_LOGGING_CATEGORY(lcSerial, "scanforms.serial", QtInfoMsg)

QString loggable(std::string_view bytes) {
    return QString::fromStdString(logText(bytes));
}

}  // namespace scanforms::serial
