// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/open_failure.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

namespace scanforms::serial {
namespace {

// Where serial lock files are kept ("LCK..ttyUSB0", holding the owner's
// process id, then its name).
const QStringList kLockFolders{QStringLiteral("/var/lock"), QStringLiteral("/run/lock")};

QString serialDevicesHere() {
    QStringList found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        found << info.systemLocation();
    }
    return found.isEmpty() ? QStringLiteral("none") : found.join(QStringLiteral(", "));
}

// "process 1234 (minicom)" from the device's lock file, or nothing.
QString lockHolder(const QString& device) {
    const QString lockName = QStringLiteral("LCK..") + QFileInfo(device).fileName();
    for (const QString& folder : kLockFolders) {
        QFile lock(folder + QLatin1Char('/') + lockName);
        if (!lock.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QList<QByteArray> lines = lock.read(256).split('\n');
        QString holder = QStringLiteral("process ") + QString::fromLatin1(lines.value(0).trimmed());
        if (lines.size() > 1 && !lines[1].trimmed().isEmpty()) {
            holder += QStringLiteral(" (%1)").arg(QString::fromLatin1(lines[1].trimmed()));
        }
        return holder;
    }
    return {};
}

}  // namespace

QString describeOpenFailure(const QString& device, QSerialPort::SerialPortError error,
                            const QString& systemText) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return QStringLiteral("no such device (%1); serial devices here: %2")
                .arg(systemText, serialDevicesHere());
        case QSerialPort::PermissionError: {
            if (const QString holder = lockHolder(device); !holder.isEmpty()) {
                return QStringLiteral("locked by %1 (%2)").arg(holder, systemText);
            }
            const QString group = QFileInfo(device).group();
            return QStringLiteral(
                       "permission denied (%1); add the user to the group %2 "
                       "(sudo adduser $USER %2), then log out and in again")
                .arg(systemText, group.isEmpty() ? QStringLiteral("dialout") : group);
        }
        case QSerialPort::OpenError:
            return QStringLiteral("busy or already open (%1)").arg(systemText);
        default:
            return systemText;
    }
}

}  // namespace scanforms::serial
