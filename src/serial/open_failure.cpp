// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/open_failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

#include "serial/serial_log.h"

namespace scanforms::serial {
namespace {

// Where serial lock files are kept, holding the owner's process id, then
// its name.
const QStringList kLockFolders{QStringLiteral("/var/lock"), QStringLiteral("/run/lock")};

QString serialDevicesHere() {
    QStringList found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        found << info.systemLocation();
    }
    return found.isEmpty() ? QStringLiteral("none") : found.join(QStringLiteral(", "));
}

// The lock file a QSerialPort takes for `device`: the name without a
// leading /dev/, every / made _, after "LCK..": LCK..ttyUSB0 for
// /dev/ttyUSB0, LCK..serial_by-id_usb-... for /dev/serial/by-id/usb-...
QString lockFileName(const QString& device) {
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/"))) {
        name.remove(0, 5);
    }
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

// "process 1234 (minicom)" from the device's lock file, or nothing.
QString lockHolder(const QString& device) {
    for (const QString& folder : kLockFolders) {
        QFile lock(folder + QLatin1Char('/') + lockFileName(device));
        if (!lock.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QList<QByteArray> lines = lock.read(256).split('\n');
        QString holder =
            QStringLiteral("process ") + loggable(lines.value(0).trimmed().toStdString());
        if (lines.size() > 1 && !lines[1].trimmed().isEmpty()) {
            holder += QStringLiteral(" (%1)").arg(loggable(lines[1].trimmed().toStdString()));
        }
        return holder;
    }
    return {};
}

QString describePermissionError(const QString& device, const QString& systemText) {
    if (const QString holder = lockHolder(device); !holder.isEmpty()) {
        return QStringLiteral("locked by %1 (%2)").arg(holder, systemText);
    }
    const QFileInfo info(device);
    if (!info.exists()) {
        return QStringLiteral("cannot be opened (%1)").arg(systemText);
    }
    if (info.isReadable() && info.isWritable()) {
        return QStringLiteral("cannot be locked (%1)").arg(systemText);
    }
    const QString group = info.group();
    return QStringLiteral(
               "permission denied (%1); add the user to the group %2 "
               "(sudo adduser $USER %2), then log out and in again")
        .arg(systemText, group.isEmpty() ? QStringLiteral("dialout") : group);
}

}  // namespace

QString describeOpenFailure(const QString& device, QSerialPort::SerialPortError error,
                            const QString& systemText) {
    const QFileInfo info(device);
    if (error != QSerialPort::DeviceNotFoundError &&
        (info.isDir() || info.isFile() || error == QSerialPort::UnsupportedOperationError)) {
        // A folder, a file, /dev/null: it opens, but it is no terminal device.
        return QStringLiteral("not a serial port (%1)").arg(systemText);
    }
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return QStringLiteral("no such device (%1); serial devices here: %2")
                .arg(systemText, serialDevicesHere());
        case QSerialPort::PermissionError:
            return describePermissionError(device, systemText);
        case QSerialPort::OpenError:
            return QStringLiteral("busy or already open (%1)").arg(systemText);
        default:
            return systemText;
    }
}

}  // namespace scanforms::serial
