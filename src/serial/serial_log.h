// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The component's log category, and bytes from outside (device names, frame
// texts, commands) made fit for one log line.

#include <QLoggingCategory>
#include <QString>
#include <string_view>

namespace scanforms::serial {

Q_DECLARE_LOGGING_CATEGORY(lcSerial)

// `bytes` for a log line, as common/log_text.h makes them.
QString loggable(std::string_view bytes);

}  // namespace scanforms::serial
