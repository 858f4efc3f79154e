// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The serial ports this Windows machine has now:
//
//   HKLM\HARDWARE\DEVICEMAP\SERIALCOMM (driver's name -> "COM3")
//   + SetupAPI's friendly name of the port's device, where it has one
//   --> the no-answer diagnostic, the failed-open log line, --list-ports

#include <string>
#include <vector>

namespace scanforms::win32 {

struct SerialPort {
    std::string name;          // COM3
    std::string friendlyName;  // "USB Serial Port (COM3)"; the driver's name when none
};

std::vector<SerialPort> systemSerialPorts();

// Whether `device`, as a port map gives it ("com3", "\\.\COM3"), names `port`.
bool namesPort(const std::string& device, const SerialPort& port);

// "COM1, COM3"; "none" when there are none.
std::string portNames(const std::vector<SerialPort>& ports);

// "Serial devices here: COM1, COM3; right-click a port button to use one. "
// when a port other than `tried` is there; empty otherwise.
std::string otherPortsHint(const std::string& tried, const std::vector<SerialPort>& ports);

}  // namespace scanforms::win32
