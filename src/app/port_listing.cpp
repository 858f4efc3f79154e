// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "app/port_listing.h"

#include <QFileInfo>
#include <cstdint>
#include <sstream>

#include "serial/device_port.h"
#include "serial/port_map.h"
#include "serial/serial_devices.h"

namespace scanforms::app {
namespace {

constexpr int kPorts = 4;

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
    const QList<serial::SerialDevice> present = serial::systemSerialDevices();
    if (present.isEmpty()) {
        out << "  none\n";
    }
    QString example;
    for (const serial::SerialDevice& device : present) {
        const QString& stable = device.stableName;
        const QString about = serial::aboutDevice(device);
        out << "  " << device.path.toStdString();
        if (!stable.isEmpty()) {
            out << "  (" << stable.toStdString() << ")";
            if (example.isEmpty()) {
                example = stable;
            }
        }
        if (!about.isEmpty()) {
            out << "  " << about.toStdString();
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
