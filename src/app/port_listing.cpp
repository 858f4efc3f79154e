// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "app/port_listing.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>
#include <cstdint>
#include <sstream>

#include "serial/device_port.h"
#include "serial/port_map.h"

namespace scanforms::app {
namespace {

constexpr int kPorts = 4;
constexpr char kStableNames[] = "/dev/serial/by-id";

// The /dev/serial/by-id name that leads to `device`, which survives
// re-plugging an adapter; empty when there is none.
QString stableName(const QString& device) {
    const QString target = QFileInfo(device).canonicalFilePath();
    const QDir byId(QString::fromLatin1(kStableNames));
    for (const QFileInfo& link : byId.entryInfoList(QDir::Files | QDir::System)) {
        if (!target.isEmpty() && link.canonicalFilePath() == target) {
            return link.absoluteFilePath();
        }
    }
    return {};
}

// Opens `device` as the station would, and says what came of it.
QString access(const std::string& device) {
    if (!QFileInfo::exists(QString::fromStdString(device))) {
        return QStringLiteral("no such device");
    }
    serial::DevicePort port;
    const QString why = port.open(device);
    return why.isEmpty() ? QStringLiteral("can be opened") : why;
}

}  // namespace

std::string listPorts() {
    std::ostringstream out;
    out << "Serial devices here:\n";
    const auto present = QSerialPortInfo::availablePorts();
    if (present.isEmpty()) {
        out << "  none\n";
    }
    QString example;
    for (const QSerialPortInfo& info : present) {
        const QString stable = stableName(info.systemLocation());
        QStringList about;
        for (const QString& part : {info.description(), info.manufacturer()}) {
            if (!part.isEmpty()) {
                about << part;
            }
        }
        if (!info.serialNumber().isEmpty()) {
            about << QStringLiteral("serial number ") + info.serialNumber();
        }
        out << "  " << info.systemLocation().toStdString();
        if (!stable.isEmpty()) {
            out << "  (" << stable.toStdString() << ")";
            if (example.isEmpty()) {
                example = stable;
            }
        }
        if (!about.isEmpty()) {
            out << "  " << about.join(QStringLiteral(", ")).toStdString();
        }
        out << "\n";
    }
    out << "\nThe Scan window's ports:\n";
    for (std::int16_t port = 1; port <= kPorts; ++port) {
        const serial::PortDevice resolved = serial::resolvePort(port);
        out << "  " << serial::portLabel(port) << "  " << resolved.device << "  from "
            << serial::describeSource(port, resolved.source) << "; "
            << access(resolved.device).toStdString() << "\n";
    }
    if (example.isEmpty()) {
        example = QStringLiteral("/dev/ttyUSB0");
    }
    out << "\nTo map a port to a device, put these lines in " << serial::settingsFilePath()
        << ":\n  [ports]\n  Com1=" << example.toStdString() << "\n";
    return out.str();
}

std::string portButtonTip(int index) {
    const auto port = static_cast<std::int16_t>(index + 1);
    const serial::PortDevice resolved = serial::resolvePort(port);
    return serial::portLabel(port) + " opens " + resolved.device + " (" +
           serial::describeSource(port, resolved.source) + ")";
}

}  // namespace scanforms::app
