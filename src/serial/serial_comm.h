// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanner component over a serial port: 9600 baud, no parity, 8 data
// bits, 2 stop bits, no flow control. It speaks the wire protocol of
// wire/wire_protocol.h and reports only through the station's events,
// raised from the port's input and timer processing on the thread that owns
// it.
//
//   setPortNumber(N) --> device (port_map.h: variable, settings file, default)
//   openPort --------> QSerialPort::open, input cleared; why it failed is logged
//   setUp -----------> setup string; no answer in time --> onInitComplete(0, "No answer ...")
//   readyRead -------> FrameDecoder, one frame at a time --> events()->on...(its text)
//                      (input stays unread while a station handler runs)
//   ReadError, ResourceError, device gone --> Lost, one onScanFault
//   recover ---------> re-opens a lost device, sends the recover command
//
// Bytes that make no frame end the read or setup they arrive during with one
// fault; with nothing asked of the scanner they are line noise (a scanner
// being switched on), dropped and logged. Every change of the link and every
// fault is one line in the log category "scanforms.serial".

#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <cstdint>
#include <string>
#include <string_view>

#include "serial/link_state.h"
#include "station/scanner.h"
#include "wire/wire_protocol.h"

namespace scanforms::serial {

class SerialComm : public QObject, public Scanner {
    Q_OBJECT

public:
    explicit SerialComm(QObject* parent = nullptr);
    ~SerialComm() override;
    SerialComm(const SerialComm&) = delete;
    SerialComm& operator=(const SerialComm&) = delete;

    // A port number of 0 or less raises a Failure here, at once; the number
    // set before stays. A number set while the port is open is used by the
    // next open.
    void setPortNumber(std::int16_t port) override;
    // Opens the device of the current port number (an open port on the same
    // device stays open; on another device it is closed first). A device
    // that cannot be opened (missing, busy, locked) leaves portIsOpen false.
    void openPort() override;
    void closePort() override;
    bool portIsOpen() const override;
    // On a closed port nothing is sent and nothing raised: the station has
    // already shown that the port did not open.
    void setUp(std::string_view setup) override;
    // A command sent after the device was lost, but before its fault was
    // raised, is dropped: the fault's answer asks again.
    void sendCommand(std::string_view command) override;
    // Re-opens a lost device (Failure "Scanner is not connected" when it is
    // not back), then sends the recover command.
    void recover() override;
    void handlersReturned() override;

    LinkState linkState() const { return state_; }
    // The device of the last open attempt.
    const std::string& deviceName() const { return device_; }

private:
    bool openDevice();
    void closeDevice(LinkState next);
    // Drops what the line and the scanner were in the middle of: a new open
    // or a close starts from nothing owed either way.
    void forgetExchange();
    void deviceLost(const QString& why);
    void requireOpen() const;
    // True when the device is lost and its fault not raised yet: `what` is
    // dropped, and that is logged.
    bool droppedBeforeFault(std::string_view what);
    void send(std::string_view command);
    // "Com1 (/dev/ttyUSB0)", for the log and the operator.
    QString portName() const;

    // Raises events from the input, one frame at a time, while the station
    // is free to take them.
    void pump();
    // The next frame or error of the input, reading more from the port as
    // needed; nothing when the input is used up.
    std::optional<wire::DecodeResult> nextFromInput();
    void raise(const wire::DecodeResult& decoded);
    void raiseInitComplete(std::int16_t result, const std::string& diagnostic);
    // Bytes that made no frame: a fault when a read or setup is outstanding,
    // else noise.
    void badInput(const std::string& reason);
    void watchFrame();

    void onPortError(QSerialPort::SerialPortError error);
    void onFrameTimeout();
    void onSetupTimeout();
    void checkDevice();

    QSerialPort port_;
    QTimer frameTimer_;
    QTimer setupTimer_;
    QTimer deviceWatch_;

    std::int16_t portNumber_ = 1;
    std::string device_;
    std::string watchedPath_;
    LinkState state_ = LinkState::Closed;

    wire::FrameDecoder decoder_;
    std::uint64_t timedFrame_ = 0;
    // Bytes read from the port and not decoded yet; at most one chunk.
    QByteArray input_;
    qsizetype inputUsed_ = 0;
    // Input was left unread because a station handler was running.
    bool heldBack_ = false;
    // The link was lost and its one fault is not raised yet.
    bool lostFaultOwed_ = false;
    // What the scanner owes an answer to: a read command, the setup string.
    bool readOutstanding_ = false;
    bool setupOutstanding_ = false;
    // A protocol fault was raised and the host has not answered it yet: more
    // bad input until then belongs to the same failed read.
    bool protocolFaultRaised_ = false;
    // Line noise was logged since the host last sent something.
    bool noiseLogged_ = false;
};

}  // namespace scanforms::serial
