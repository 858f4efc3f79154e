// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanner component's platform on Windows:
//
//   makeLink    --> CommPort (comm_port.h)
//   makeTimer   --> SetTimer on a hidden message window, never short
//   post        --> PostMessage to that window
//   portDevice, setupAnswerTimeout --> port_settings.h
//   deviceNames, otherDevicesHint  --> serial_ports.h
//   log         --> the log file (log_file.h)
//
// Made, used and destroyed on the thread that runs the window's message loop;
// every callback runs there. Destroying it drops posted work and timers.

#include <memory>

#include "scanner/platform.h"
#include "win32/log_file.h"
#include "win32/message_window.h"

namespace scanforms::win32 {

class Win32Platform final : public scanner::Platform {
public:
    explicit Win32Platform(std::string logPath = LogFile::defaultPath());
    ~Win32Platform() override;

    std::unique_ptr<scanner::DeviceLink> makeLink(scanner::LinkEvents& events) override;
    std::unique_ptr<scanner::Timer> makeTimer(std::function<void()> onTimeout) override;
    void post(std::function<void()> work) override;
    std::string portDevice(std::int16_t port) override;
    std::chrono::milliseconds setupAnswerTimeout() override;
    std::string deviceNames() override;
    std::string otherDevicesHint(const std::string& tried) override;
    void log(scanner::LogLevel level, std::string_view line) override;

private:
    std::shared_ptr<MessageWindow> window_;
    LogFile log_;
};

}  // namespace scanforms::win32
