// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Why a serial device did not open, in a line an administrator can act on:
// a missing device, something that is no terminal device, a device this user
// may not open (and how to be allowed), a device another program holds (and
// which one, from its lock file or from the system's table of locks).
//
// The lock that keeps a second station off a scanner is taken on the open
// device itself: an exclusive flock on its descriptor, which every open of
// the same device file meets, whichever name or link led to it, and which
// ends with the descriptor, even when the program is killed.

#include <QSerialPort>
#include <QString>

namespace scanforms::serial {

QString describeOpenFailure(const QString& device, QSerialPort::SerialPortError error,
                            const QString& systemText);

// Locks the device just opened as `device` through `handle`: empty once
// locked (or where the system keeps a port to one opener itself, as
// Windows does), else why not: "locked by process 1234 (scanforms)".
QString lockOpenDevice(qintptr handle, const QString& device);

}  // namespace scanforms::serial
