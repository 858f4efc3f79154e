// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/serial_devices.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>
#include <string>
#include <vector>

#include "scanner/device_list.h"

namespace scanforms::serial {
namespace {

constexpr char kStableNames[] = "/dev/serial/by-id";

}  // namespace

DeviceAccessCheck checkAccess(const QString& device) {
    const QFileInfo info(device);
    if (!info.exists()) {
        return {DeviceAccess::Missing, {}};
    }
    const bool allowed = info.isReadable() && info.isWritable();
    return {allowed ? DeviceAccess::Allowed : DeviceAccess::NotAllowed, info.group()};
}

QString accessProblem(const DeviceAccessCheck& check) {
    switch (check.access) {
        case DeviceAccess::Missing:
            return QStringLiteral("no such device");
        case DeviceAccess::NotAllowed:
            return QStringLiteral(
                       "not allowed for this user: add yourself to the %1 group, then log out "
                       "and in")
                .arg(check.group.isEmpty() ? QStringLiteral("dialout") : check.group);
        case DeviceAccess::Allowed:
            break;
    }
    return {};
}

QString stableNameOf(const QString& device) {
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty()) {
        return {};
    }
    const QDir byId(QString::fromLatin1(kStableNames));
    for (const QFileInfo& link : byId.entryInfoList(QDir::Files | QDir::System)) {
        if (link.canonicalFilePath() == target) {
            return link.absoluteFilePath();
        }
    }
    return {};
}

bool isNamedBy(const SerialDevice& device, const QString& name) {
    if (name.isEmpty()) {
        return false;
    }
    if (name == device.path || name == device.stableName) {
        return true;
    }
    const QString target = QFileInfo(name).canonicalFilePath();
    return !target.isEmpty() && target == QFileInfo(device.path).canonicalFilePath();
}

QList<SerialDevice> systemSerialDevices() {
    QList<SerialDevice> found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        found.append({.path = info.systemLocation(),
                      .stableName = stableNameOf(info.systemLocation()),
                      .description = info.description(),
                      .manufacturer = info.manufacturer(),
                      .serialNumber = info.serialNumber(),
                      .access = checkAccess(info.systemLocation())});
    }
    return found;
}

namespace {

std::vector<std::string> mapNamesOf(const QList<SerialDevice>& devices) {
    std::vector<std::string> names;
    for (const SerialDevice& device : devices) {
        names.push_back(device.mapName().toStdString());
    }
    return names;
}

}  // namespace

QString namesOf(const QList<SerialDevice>& devices) {
    return QString::fromStdString(scanner::deviceList(mapNamesOf(devices)));
}

QString otherDevicesHint(const QString& tried, const QList<SerialDevice>& found) {
    const bool another = std::any_of(found.begin(), found.end(), [&](const SerialDevice& device) {
        return !isNamedBy(device, tried);
    });
    return QString::fromStdString(scanner::otherDevicesHint(mapNamesOf(found), another));
}

QString aboutDevice(const SerialDevice& device) {
    QStringList about;
    for (const QString& part : {device.description, device.manufacturer}) {
        if (!part.isEmpty()) {
            about << part;
        }
    }
    if (!device.serialNumber.isEmpty()) {
        about << QStringLiteral("serial number ") + device.serialNumber;
    }
    return about.join(QStringLiteral(", "));
}

}  // namespace scanforms::serial
