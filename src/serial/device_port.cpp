// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/device_port.h"

#include <QFileInfo>

#include "scanner/serial_timeouts.h"
#include "serial/open_failure.h"

namespace scanforms::serial {
namespace {

using scanner::kDeviceWatchInterval;

// The most bytes read from the port in one go.
constexpr qint64 kReadChunk = 4096;
// What the port buffers while an event handler runs; beyond it the device
// waits (a pseudo-terminal's writer blocks, a UART's buffer fills).
constexpr qint64 kReadBufferSize = 16 * 1024;

}  // namespace

DevicePort::DevicePort(QObject* parent) : QObject(parent), port_(this), watch_(this) {
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::TwoStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(kReadBufferSize);
    connect(&port_, &QSerialPort::readyRead, this, &DevicePort::input);
    connect(&port_, &QSerialPort::errorOccurred, this, &DevicePort::onPortError);
    watch_.setInterval(kDeviceWatchInterval);
    connect(&watch_, &QTimer::timeout, this, &DevicePort::checkDevice);
}

DevicePort::~DevicePort() {
    disconnect(&port_, nullptr, this, nullptr);
    close();
}

QString DevicePort::open(const std::string& device) {
    close();
    const QString name = QString::fromStdString(device);
    port_.setPortName(name);
    if (!port_.open(QIODevice::ReadWrite)) {
        const QString why = describeOpenFailure(name, port_.error(), port_.errorString());
        port_.clearError();
        return why;
    }
    // QSerialPort's own lock is keyed by the name given: another station
    // opening the device by another name (a link) is kept off by this one.
    if (const QString held = lockOpenDevice(port_.handle(), name); !held.isEmpty()) {
        port_.close();
        port_.clearError();
        return held;
    }
    // Bytes the device sent before this open are still queued: they belong
    // to nobody now.
    port_.clear(QSerialPort::Input);
    port_.readAll();
    // An unplugged adapter takes its device file and the links to it away,
    // often with no error on a quiet line. A name that is no file (COM3 on
    // Windows) is not watched.
    openedName_ = name;
    watchedPath_ = QFileInfo(name).canonicalFilePath();
    if (!watchedPath_.isEmpty()) {
        watch_.start();
    }
    return {};
}

void DevicePort::close() {
    watch_.stop();
    if (port_.isOpen()) {
        port_.close();
    }
    port_.clearError();
}

QByteArray DevicePort::read() {
    return port_.isOpen() ? port_.read(kReadChunk) : QByteArray();
}

QByteArray DevicePort::peek() {
    return port_.isOpen() ? port_.peek(port_.bytesAvailable()) : QByteArray();
}

bool DevicePort::write(const std::string& bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    return port_.write(bytes.data(), size) == size;
}

void DevicePort::onPortError(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
        case QSerialPort::ResourceError:
            // A device that went away: this QSerialPort reports it as a read
            // error, again and again until closed, or as a resource error.
            emit lost(port_.errorString());
            return;
        default:
            // NoError comes with every open; the rest leave the link as it is.
            return;
    }
}

void DevicePort::checkDevice() {
    if (port_.isOpen() && (!QFileInfo::exists(openedName_) || !QFileInfo::exists(watchedPath_))) {
        emit lost(QStringLiteral("the device file is gone"));
    }
}

}  // namespace scanforms::serial
