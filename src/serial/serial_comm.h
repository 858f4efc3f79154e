#pragma once

// The scanner component over a serial port: 9600 baud, no parity, 8 data
// bits, 2 stop bits, no flow control. It speaks the wire protocol of
// scanner/wire_protocol.h and reports only through the CComm events, raised
// from the port's input and timer processing on the thread that owns it.
//
//   PortNumber(N) --> device name (SCANFORMS_COM<N> or the platform's port)
//   PortOpen(true) -> QSerialPort::open, input cleared
//   readyRead -----> FrameDecoder -> pending events -> events()->X()
//   ReadError, ResourceError, device gone -> Lost, one ScanFault
//   Recover -------> re-opens a lost device, sends the recover command

#include <QObject>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "scanner/ccomm.h"
#include "scanner/wire_protocol.h"
#include "serial/link_state.h"
#include "serial/scanner_event.h"

class QSerialPort;
class QTimer;

namespace scanforms::serial {

class SerialComm : public QObject, public CComm {
    Q_OBJECT

public:
    explicit SerialComm(QObject* parent = nullptr);
    ~SerialComm() override;
    SerialComm(const SerialComm&) = delete;
    SerialComm& operator=(const SerialComm&) = delete;

    // A port number of 0 or less raises a Failure here, at once; the number
    // set before stays. A number set while the port is open is used by the
    // next open.
    void PortNumber(std::int16_t port) override;
    // True opens the device of the current port number (an open port on the
    // same device stays open; on another device it is closed first). A device
    // that cannot be opened (missing, busy, locked) leaves PortOpen false.
    // False closes; it never fails.
    void PortOpen(bool open) override;
    bool PortOpen() const override;
    std::string ResponseText() const override;
    // Re-opens a lost device (Failure "Scanner is not connected" when it is
    // not back), then sends the recover command.
    void Recover() override;
    void SetupScanner(std::string_view setup) override;
    void SendCommand(std::string_view command) override;

    LinkState linkState() const { return state_; }
    // The device of the last open attempt.
    const std::string& deviceName() const { return device_; }

private:
    bool openDevice();
    void closeDevice(LinkState next);
    void deviceLost();
    void requireOpen() const;
    void send(std::string_view command);

    // Raises pending events and decodes input, one event at a time, until
    // both are used up. Does nothing while an event is being raised: the
    // outer call goes on once the handler returned.
    void pump();
    void decodeInput();
    void raise(const ScannerEvent& event);
    void reportProtocolFault(ScannerEvent fault);
    void watchFrame();

    void onPortError(int error);
    void onFrameTimeout();
    void checkDevice();

    QSerialPort* port_;
    QTimer* frameTimer_;
    QTimer* deviceWatch_;

    std::int16_t portNumber_ = 1;
    std::string device_;
    std::string watchedPath_;
    LinkState state_ = LinkState::Closed;

    wire::FrameDecoder decoder_;
    std::uint64_t timedFrame_ = 0;
    std::deque<ScannerEvent> pending_;
    std::string responseText_;
    bool dispatching_ = false;
    // A protocol fault was raised and the host has not answered it yet: more
    // bad input until then belongs to the same failed read.
    bool protocolFaultRaised_ = false;
};

}  // namespace scanforms::serial
