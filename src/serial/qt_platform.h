// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanner component's platform on Qt, and the component made on it.
//
//   DeviceLink --> DevicePort (device_port.h): a QSerialPort, its signals
//                  told to the component as LinkEvents
//   Timer -------> a precise single-shot QTimer
//   post --------> QTimer::singleShot(0) on the platform's own context
//   portDevice --> port_map.h; setupAnswerTimeout --> scanner_settings.h
//   deviceNames, otherDevicesHint --> serial_devices.h
//   log ---------> the category "scanforms.serial" (serial_log.h)
//
// Callbacks are connected through the platform's context: once it is
// destroyed, no link, timer or posted work reaches the component.

#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "scanner/platform.h"
#include "scanner/scanner_component.h"
#include "serial/serial_devices.h"

namespace scanforms::serial {

class QtPlatform : public scanner::Platform {
public:
    // The links' ports are made children of `owner` (when given), so they
    // can be found under the object that holds the component.
    explicit QtPlatform(QObject* owner = nullptr);

    std::unique_ptr<scanner::DeviceLink> makeLink(scanner::LinkEvents& events) override;
    std::unique_ptr<scanner::Timer> makeTimer(std::function<void()> onTimeout) override;
    void post(std::function<void()> work) override;

    std::string portDevice(std::int16_t port) override;
    std::chrono::milliseconds setupAnswerTimeout() override;
    std::string deviceNames() override;
    std::string otherDevicesHint(const std::string& tried) override;
    void log(scanner::LogLevel level, std::string_view line) override;

    // Where the serial devices come from: the system, unless a test hands
    // in devices of its own.
    void setDeviceSource(SerialDeviceSource devices) { devices_ = std::move(devices); }

private:
    QObject* owner_;
    QObject context_;
    SerialDeviceSource devices_ = systemSerialDevices;
};

// The component on Qt, in one line. A QObject, so that its port is found
// among its children.
class SerialComm : public QObject, public scanner::ScannerComponent {
public:
    explicit SerialComm(QObject* parent = nullptr);

    void setDeviceSource(SerialDeviceSource devices);
};

}  // namespace scanforms::serial
