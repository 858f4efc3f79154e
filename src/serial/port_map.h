// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Which device each of the window's ports opens, first found:
//
//   SCANFORMS_COM<N> (set and not empty)           a session or a test
//   [ports] ComN in the settings file               a desktop user's map
//   the system's Nth serial port                    /dev/ttyS<N-1>
//
// The settings file is $XDG_CONFIG_HOME/scanforms/scanforms.conf (by default
// ~/.config/scanforms/scanforms.conf), in INI form:
//
//   [ports]
//   Com1=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0

#include <cstdint>
#include <optional>
#include <string>

namespace scanforms::serial {

enum class PortSource { Variable, SettingsFile, Default };

struct PortDevice {
    std::string device;
    PortSource source = PortSource::Default;
};

// Where port N's device comes from and what it is, looked up anew each time,
// so a changed settings file counts from the next open.
PortDevice resolvePort(std::int16_t port);

inline std::string portDeviceName(std::int16_t port) {
    return resolvePort(port).device;
}

// The system's Nth serial port, which port N opens when nothing maps it.
std::string defaultPortDevice(std::int16_t port);

// Maps port N to `device` in the settings file, or removes its mapping when
// `device` is empty: its one line changed, added or removed, every other
// byte of the file kept (textfile/settings_file.h). Returns why the file was
// left as it was, or nothing once it was saved.
std::optional<std::string> savePortMapping(std::int16_t port, const std::string& device);

// "SCANFORMS_COM1" for port 1.
std::string portVariable(std::int16_t port);
// "Com1" for port 1: the settings key and the name the window shows.
std::string portLabel(std::int16_t port);
// The settings file's path, whether it exists or not.
std::string settingsFilePath();
// "the variable SCANFORMS_COM1", "the settings file ...", "the default".
std::string describeSource(std::int16_t port, PortSource source);

}  // namespace scanforms::serial
