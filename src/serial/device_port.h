// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The component's link to the device: a QSerialPort at 9600 baud, no parity,
// 8 data bits, 2 stop bits, no flow control.
//
//   open(device) --> QSerialPort::open, the device itself locked (whatever
//                    name led to it), what it sent before dropped; or why it
//                    did not open (open_failure.h)
//   readyRead ------> input()         the component reads with read()
//   ReadError, WriteError, ResourceError, the name opened or the device file
//   it led to gone (looked at every kDeviceWatchInterval) --> lost(why),
//                    maybe more than once for one loss: the component
//                    counts the first while its link is Open

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>
#include <string>

namespace scanforms::serial {

class DevicePort : public QObject {
    Q_OBJECT

public:
    explicit DevicePort(QObject* parent = nullptr);
    ~DevicePort() override;
    DevicePort(const DevicePort&) = delete;
    DevicePort& operator=(const DevicePort&) = delete;

    // Empty when the device opened, else why not.
    QString open(const std::string& device);
    void close();
    bool isOpen() const { return port_.isOpen(); }

    // At most one chunk of what the device sent; empty when nothing waits.
    QByteArray read();
    bool hasInput() const { return port_.isOpen() && port_.bytesAvailable() > 0; }
    // All that waits for read(), left where it is.
    QByteArray peek();
    bool write(const std::string& bytes);

signals:
    void input();
    void lost(const QString& why);

private:
    void onPortError(QSerialPort::SerialPortError error);
    void checkDevice();

    QSerialPort port_;
    QTimer watch_;
    QString openedName_;
    QString watchedPath_;  // the device file the name led to
};

}  // namespace scanforms::serial
