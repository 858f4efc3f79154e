// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The menu of each port button, where the operator points a port at the
// scanner's device:
//
//   right click, the menu key or Shift+F10 on Com<N>
//       --> the system's serial ports, each with its friendly name, then
//           "Default (COM<N>)"; the entry Com<N> opens now is checked
//   an entry chosen --> the settings file maps Com<N>; a map that could not
//       be saved is told in one box
//
// Choosing selects no button and tells the station nothing: the port's new
// device is opened by the next Initialize Scanner. Every source is handed
// in, so tests give ports of their own.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "win32/serial_ports.h"

namespace scanforms::win32 {

struct PortMenuSources {
    std::function<std::vector<SerialPort>()> ports;
    // The device port N (1 to 4) opens now, and the one it opens unmapped.
    std::function<std::string(std::int16_t port)> opens;
    std::function<std::string(std::int16_t port)> opensByDefault;
    // Maps port N to a device (empty: back to its default); why it was not
    // saved, or nothing once it was.
    std::function<std::optional<std::string>(std::int16_t port, const std::string& device)> map;
};

// The text of each entry, in order: the ports found, then the default.
struct PortMenuEntry {
    std::wstring text;
    std::string device;  // empty: the default
    bool checked = false;
};
std::vector<PortMenuEntry> portMenuEntries(const PortMenuSources& sources, std::int16_t port);

// Shows port `port`'s menu at `at` (screen coordinates) over `owner`, and
// maps the entry chosen. Returns the line to show the operator when the map
// was not saved.
std::optional<std::string> showPortMenu(const PortMenuSources& sources, HWND owner,
                                        std::int16_t port, POINT at);

}  // namespace scanforms::win32
