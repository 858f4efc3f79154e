// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Why a serial device did not open, in a line an administrator can act on:
// a missing device (with the serial devices that do exist), something that
// is no terminal device, a device this user may not open (and how to be
// allowed), a device another program holds (and which one, from its lock
// file).

#include <QSerialPort>
#include <QString>

namespace scanforms::serial {

QString describeOpenFailure(const QString& device, QSerialPort::SerialPortError error,
                            const QString& systemText);

}  // namespace scanforms::serial
