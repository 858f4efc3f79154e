// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/qt_platform.h"

#include <QString>
#include <QTimer>
#include <utility>

#include "serial/device_port.h"
#include "serial/port_map.h"
#include "serial/scanner_settings.h"
#include "serial/serial_log.h"

namespace scanforms::serial {
namespace {

class QtDeviceLink : public scanner::DeviceLink {
public:
    QtDeviceLink(scanner::LinkEvents& events, QObject* owner, QObject* context) : port_(owner) {
        QObject::connect(&port_, &DevicePort::input, context, [&events] { events.onInput(); });
        QObject::connect(&port_, &DevicePort::lost, context,
                         [&events](const QString& why) { events.onLost(why.toStdString()); });
    }

    std::string open(const std::string& device) override {
        return port_.open(device).toStdString();
    }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    std::string read() override { return port_.read().toStdString(); }
    bool hasInput() const override { return port_.hasInput(); }
    std::string peek() override { return port_.peek().toStdString(); }
    bool write(std::string_view bytes) override { return port_.write(std::string(bytes)); }

private:
    DevicePort port_;
};

class QtTimer : public scanner::Timer {
public:
    QtTimer(std::function<void()> onTimeout, QObject* context) {
        // The waits are the named figures, not a coarse timer's 5 % less.
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, context, std::move(onTimeout));
    }

    void start(std::chrono::milliseconds wait) override { timer_.start(wait); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

}  // namespace

QtPlatform::QtPlatform(QObject* owner) : owner_(owner) {}

std::unique_ptr<scanner::DeviceLink> QtPlatform::makeLink(scanner::LinkEvents& events) {
    return std::make_unique<QtDeviceLink>(events, owner_, &context_);
}

std::unique_ptr<scanner::Timer> QtPlatform::makeTimer(std::function<void()> onTimeout) {
    return std::make_unique<QtTimer>(std::move(onTimeout), &context_);
}

void QtPlatform::post(std::function<void()> work) {
    QTimer::singleShot(0, &context_, std::move(work));
}

std::string QtPlatform::portDevice(std::int16_t port) {
    return portDeviceName(port);
}

std::chrono::milliseconds QtPlatform::setupAnswerTimeout() {
    return serial::setupAnswerTimeout();
}

std::string QtPlatform::deviceNames() {
    return namesOf(devices_()).toStdString();
}

std::string QtPlatform::otherDevicesHint(const std::string& tried) {
    return serial::otherDevicesHint(QString::fromStdString(tried), devices_()).toStdString();
}

void QtPlatform::log(scanner::LogLevel level, std::string_view line) {
    const QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    switch (level) {
        case scanner::LogLevel::Debug:
            qCDebug(lcSerial).noquote() << text;
            return;
        case scanner::LogLevel::Info:
            qCInfo(lcSerial).noquote() << text;
            return;
        case scanner::LogLevel::Warning:
            qCWarning(lcSerial).noquote() << text;
            return;
    }
}

SerialComm::SerialComm(QObject* parent)
    : QObject(parent), ScannerComponent(std::make_unique<QtPlatform>(this)) {}

void SerialComm::setDeviceSource(SerialDeviceSource devices) {
    static_cast<QtPlatform&>(platform()).setDeviceSource(std::move(devices));
}

}  // namespace scanforms::serial
