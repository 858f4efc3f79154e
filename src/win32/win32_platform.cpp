// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32/win32_platform.h"

#include <utility>

#include "win32/comm_port.h"
#include "win32/port_settings.h"
#include "win32/serial_ports.h"

namespace scanforms::win32 {
namespace {

constexpr std::string_view kLogCategory = "scanforms.serial";

class WindowTimer final : public scanner::Timer {
public:
    WindowTimer(std::shared_ptr<MessageWindow> window, std::function<void()> onTimeout)
        : window_(std::move(window)), id_(window_->addTimer(std::move(onTimeout))) {}
    ~WindowTimer() override { window_->removeTimer(id_); }

    void start(std::chrono::milliseconds wait) override { window_->startTimer(id_, wait); }
    void stop() override { window_->stopTimer(id_); }
    bool isActive() const override { return window_->timerActive(id_); }

private:
    std::shared_ptr<MessageWindow> window_;
    std::uintptr_t id_;
};

std::string_view levelWord(scanner::LogLevel level) {
    switch (level) {
        case scanner::LogLevel::Debug:
            return "debug";
        case scanner::LogLevel::Info:
            return "info";
        case scanner::LogLevel::Warning:
            break;
    }
    return "warning";
}

}  // namespace

Win32Platform::Win32Platform(std::string logPath)
    : window_(std::make_shared<MessageWindow>()), log_(std::move(logPath)) {}

Win32Platform::~Win32Platform() {
    window_->close();
}

std::unique_ptr<scanner::DeviceLink> Win32Platform::makeLink(scanner::LinkEvents& events) {
    return std::make_unique<CommPort>(window_, events);
}

std::unique_ptr<scanner::Timer> Win32Platform::makeTimer(std::function<void()> onTimeout) {
    return std::make_unique<WindowTimer>(window_, std::move(onTimeout));
}

void Win32Platform::post(std::function<void()> work) {
    window_->post(std::move(work));
}

std::string Win32Platform::portDevice(std::int16_t port) {
    return win32::portDevice(port);
}

std::chrono::milliseconds Win32Platform::setupAnswerTimeout() {
    return win32::setupAnswerTimeout(
        [this](const std::string& line) { log(scanner::LogLevel::Warning, line); });
}

std::string Win32Platform::deviceNames() {
    return portNames(systemSerialPorts());
}

std::string Win32Platform::otherDevicesHint(const std::string& tried) {
    return otherPortsHint(tried, systemSerialPorts());
}

void Win32Platform::log(scanner::LogLevel level, std::string_view line) {
    log_.append(levelWord(level), kLogCategory, line);
}

}  // namespace scanforms::win32
