// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/open_failure.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#ifndef _WIN32
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstring>
#endif

#include "serial/serial_log.h"

namespace scanforms::serial {
namespace {

// Where serial lock files are kept, holding the owner's process id, then
// its name.
const QStringList kLockFolders{QStringLiteral("/var/lock"), QStringLiteral("/run/lock")};

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

#ifndef _WIN32
// The table of the system's locks, one a line, a flock as
// "1: FLOCK  ADVISORY  WRITE 1234 08:02:131 0 EOF" (the holder's process id,
// then the file's device, major and minor in hex, and its inode). A waiter
// for a lock has a "->" field after the number and is no holder.
constexpr char kLockTable[] = "/proc/locks";

QString processName(const QByteArray& process) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(process)));
    const QByteArray name = comm.open(QIODevice::ReadOnly) ? comm.read(64).trimmed() : QByteArray();
    return name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(loggable(name.toStdString()));
}

// "process 1234 (scanforms)" holding a flock on the file `file`, or nothing.
QString flockHolder(const struct stat& file) {
    QFile table(QString::fromLatin1(kLockTable));
    if (!table.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray where = QByteArray::number(major(file.st_dev), 16).rightJustified(2, '0') +
                             ':' +
                             QByteArray::number(minor(file.st_dev), 16).rightJustified(2, '0') +
                             ':' + QByteArray::number(static_cast<qulonglong>(file.st_ino));
    // A file of /proc tells no size: read to its end, not up to a size.
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 6 && fields[1] == "FLOCK" && fields[5] == where) {
            return QStringLiteral("process ") + QString::fromLatin1(fields[4]) +
                   processName(fields[4]);
        }
    }
    return {};
}

QString flockHolderOf(const QString& device) {
    struct stat file {};
    return ::stat(QFile::encodeName(device).constData(), &file) == 0 ? flockHolder(file)
                                                                     : QString();
}
#endif

QString describePermissionError(const QString& device, const QString& systemText) {
    QString holder = lockHolder(device);
#ifndef _WIN32
    if (holder.isEmpty()) {
        holder = flockHolderOf(device);
    }
#endif
    if (!holder.isEmpty()) {
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
            return QStringLiteral("no such device (%1)").arg(systemText);
        case QSerialPort::PermissionError:
            return describePermissionError(device, systemText);
        case QSerialPort::OpenError:
            return QStringLiteral("busy or already open (%1)").arg(systemText);
        default:
            return systemText;
    }
}

QString lockOpenDevice(qintptr handle, const QString& device) {
#ifdef _WIN32
    Q_UNUSED(handle);
    Q_UNUSED(device);
    return {};
#else
    const int descriptor = static_cast<int>(handle);
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
        return {};
    }
    const int error = errno;
    if (error != EWOULDBLOCK) {
        return QStringLiteral("cannot be locked (%1)").arg(QString::fromLocal8Bit(strerror(error)));
    }
    struct stat file {};
    const QString holder = ::fstat(descriptor, &file) == 0 ? flockHolder(file) : QString();
    const QString opened = QFileInfo(device).canonicalFilePath();
    return QStringLiteral("locked by %1, which has %2 open")
        .arg(holder.isEmpty() ? QStringLiteral("another process") : holder,
             loggable((opened.isEmpty() ? device : opened).toStdString()));
#endif
}

}  // namespace scanforms::serial
