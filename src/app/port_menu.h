// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The menu of each port button, where the operator points a port at the
// scanner's device without a terminal:
//
//   right click, menu key or Shift+F10 on Com<N>
//       --> the serial devices found (each by its stable name, what it is,
//           whether this user may open it), then "Default (/dev/ttyS<N-1>)";
//           the entry Com<N> opens now is checked
//   an entry chosen --> the settings file maps Com<N> (serial/port_map.h),
//       the button's tooltip and the log say what it opens now
//   Com<N> mapped by SCANFORMS_COM<N> --> the menu says so and changes nothing
//
// Choosing selects no button and tells the station nothing: the port's new
// device is opened by the next Initialize Scanner, as one the settings file
// maps always is.

#include <QObject>
#include <QPoint>
#include <cstdint>
#include <string>

#include "serial/serial_devices.h"

class QAction;
class QActionGroup;
class QMenu;

namespace scanforms::window {
class ScanWindow;
}

namespace scanforms::app {

class PortMenus : public QObject {
public:
    // Gives `window`'s port buttons their menus, listing what `devices`
    // finds each time one opens, and their tooltips.
    PortMenus(window::ScanWindow& window, serial::SerialDeviceSource devices);

private:
    void showMenu(int index, const QPoint& at);
    // An entry that maps `port` to `device` (the default when empty).
    QAction* addEntry(QMenu* menu, QActionGroup* entries, const QString& text, std::int16_t port,
                      const std::string& device);
    void choose(std::int16_t port, const std::string& device);
    void showTips();

    window::ScanWindow& window_;
    serial::SerialDeviceSource devices_;
};

}  // namespace scanforms::app
