// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The serial devices present:
//
//   QSerialPortInfo::availablePorts --> SerialDevice: its path, the
//   /dev/serial/by-id name that survives re-plugging, what the device says
//   of itself, and whether this user may open it
//   --> the port buttons' menus, --list-ports, and the component's
//       "no answer" diagnostic and failed-open log line
//
// Whoever uses the list takes a SerialDeviceSource, so a test can hand in
// devices of its own.

#include <QList>
#include <QString>
#include <functional>

namespace scanforms::serial {

// Whether this user may open a device: its file is there, and readable and
// writable for this user. Told from the file, without opening the device:
// an open would pulse its modem lines, and find the device the station has
// open locked by the station itself.
enum class DeviceAccess { Allowed, NotAllowed, Missing };

struct DeviceAccessCheck {
    DeviceAccess access = DeviceAccess::Missing;
    QString group;  // the device's group, which a user joins to be allowed
};

DeviceAccessCheck checkAccess(const QString& device);

// Why this user may not open the device and what to do about it ("not
// allowed for this user: add yourself to the dialout group, then log out and
// in"); empty when the device may be opened.
QString accessProblem(const DeviceAccessCheck& check);

struct SerialDevice {
    QString path;         // /dev/ttyUSB0
    QString stableName;   // /dev/serial/by-id/..., empty when there is none
    QString description;  // as the device or its driver names it
    QString manufacturer;
    QString serialNumber;
    DeviceAccessCheck access;

    // The name to map a port to: the stable one where there is one.
    const QString& mapName() const { return stableName.isEmpty() ? path : stableName; }
};

// Whether `name` names the device: its path or its stable name, or a name
// that leads to the same file.
bool isNamedBy(const SerialDevice& device, const QString& name);

// The devices by the names to map a port to, "A, B"; "none" when empty.
QString namesOf(const QList<SerialDevice>& devices);

// What a "no answer" diagnostic adds when a device other than `tried` was
// found: "Serial devices here: A, B; right-click a port button to use one. "
// (ending in a blank, as the diagnostic does); empty otherwise.
QString otherDevicesHint(const QString& tried, const QList<SerialDevice>& found);

using SerialDeviceSource = std::function<QList<SerialDevice>()>;

// The devices this machine has now.
QList<SerialDevice> systemSerialDevices();

// The /dev/serial/by-id name that leads to `device`; empty when there is none.
QString stableNameOf(const QString& device);

// "FT232R USB UART, FTDI, serial number A12345": what is known of the device.
QString aboutDevice(const SerialDevice& device);

}  // namespace scanforms::serial
