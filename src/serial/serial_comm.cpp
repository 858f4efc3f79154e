#include "serial/serial_comm.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QTimer>
#include <stdexcept>
#include <utility>

#include "common/failure.h"
#include "serial/port_name.h"
#include "serial/serial_timeouts.h"

namespace scanforms::serial {
namespace {

// The most bytes decoded in one go; the events of one chunk wait in memory.
constexpr qint64 kReadChunk = 4096;
// What the port buffers while an event handler runs; beyond it the device
// waits (a pseudo-terminal's writer blocks, a UART's buffer fills).
constexpr qint64 kReadBufferSize = 16 * 1024;

constexpr char kPortNotOpen[] = "Port is not open";
constexpr char kNotConnected[] = "Scanner is not connected";
constexpr char kFrameTimedOut[] = "Scanner stopped in the middle of a frame";

// Clears a flag when the scope ends, however it ends.
class FlagGuard {
public:
    explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagGuard() { flag_ = false; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;

private:
    bool& flag_;
};

}  // namespace

SerialComm::SerialComm(QObject* parent)
    : QObject(parent),
      port_(new QSerialPort(this)),
      frameTimer_(new QTimer(this)),
      deviceWatch_(new QTimer(this)) {
    port_->setBaudRate(QSerialPort::Baud9600);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::TwoStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    port_->setReadBufferSize(kReadBufferSize);
    connect(port_, &QSerialPort::readyRead, this, &SerialComm::pump);
    connect(port_, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { onPortError(error); });

    frameTimer_->setSingleShot(true);
    frameTimer_->setInterval(kFrameTimeout);
    connect(frameTimer_, &QTimer::timeout, this, &SerialComm::onFrameTimeout);

    deviceWatch_->setInterval(kDeviceWatchInterval);
    connect(deviceWatch_, &QTimer::timeout, this, &SerialComm::checkDevice);
}

SerialComm::~SerialComm() {
    disconnect(port_, nullptr, this, nullptr);
    closeDevice(LinkState::Closed);
}

// ---- Members ----

void SerialComm::PortNumber(std::int16_t port) {
    if (port <= 0) {
        throw Failure("Port number " + std::to_string(port) + " is not a serial port");
    }
    portNumber_ = port;
}

void SerialComm::PortOpen(bool open) {
    if (!open) {
        closeDevice(LinkState::Closed);
        return;
    }
    const std::string device = portDeviceName(portNumber_);
    if (state_ == LinkState::Open && device == device_) {
        return;
    }
    closeDevice(LinkState::Closed);
    device_ = device;
    openDevice();
}

bool SerialComm::PortOpen() const {
    return state_ == LinkState::Open;
}

std::string SerialComm::ResponseText() const {
    return responseText_;
}

void SerialComm::Recover() {
    if (state_ == LinkState::Closed) {
        throw Failure(kPortNotOpen);
    }
    if (state_ == LinkState::Lost) {
        if (port_->isOpen()) {
            port_->close();
        }
        if (!openDevice()) {
            throw Failure(kNotConnected);
        }
    }
    send(wire::kRecoverCommand);
}

void SerialComm::SetupScanner(std::string_view setup) {
    requireOpen();
    send(setup);
}

void SerialComm::SendCommand(std::string_view command) {
    requireOpen();
    send(command);
}

// ---- The device ----

bool SerialComm::openDevice() {
    const QString name = QString::fromStdString(device_);
    port_->setPortName(name);
    if (!port_->open(QIODevice::ReadWrite)) {
        port_->clearError();
        return false;
    }
    // Bytes the device sent before this open are still queued: they belong
    // to nobody now.
    port_->clear(QSerialPort::Input);
    port_->readAll();
    watchedPath_ = QFileInfo(name).canonicalFilePath().toStdString();
    decoder_.reset();
    pending_.clear();
    protocolFaultRaised_ = false;
    state_ = LinkState::Open;
    if (!watchedPath_.empty()) {
        deviceWatch_->start();
    }
    return true;
}

void SerialComm::closeDevice(LinkState next) {
    state_ = next;
    frameTimer_->stop();
    deviceWatch_->stop();
    pending_.clear();
    decoder_.reset();
    if (port_->isOpen()) {
        port_->close();
    }
    port_->clearError();
}

void SerialComm::deviceLost() {
    if (state_ != LinkState::Open) {
        return;
    }
    state_ = LinkState::Lost;
    frameTimer_->stop();
    deviceWatch_->stop();
    decoder_.reset();
    // Events decoded before the loss are still raised, then the one fault.
    pending_.push_back(faultEvent(kNotConnected));
    // The port is closed and the fault raised after the signal that told of
    // the loss has returned: the port may be inside its read handler now.
    QTimer::singleShot(0, this, [this] {
        if (state_ == LinkState::Lost && port_->isOpen()) {
            port_->close();
            port_->clearError();
        }
        pump();
    });
}

void SerialComm::requireOpen() const {
    if (state_ == LinkState::Lost) {
        throw Failure(kNotConnected);
    }
    if (state_ != LinkState::Open) {
        throw Failure(kPortNotOpen);
    }
}

void SerialComm::send(std::string_view command) {
    std::string line;
    try {
        line = wire::encodeCommand(command);
    } catch (const std::invalid_argument& refused) {
        throw Failure(refused.what());
    }
    const auto size = static_cast<qint64>(line.size());
    if (port_->write(line.data(), size) != size) {
        throw Failure("Could not send to the scanner");
    }
    protocolFaultRaised_ = false;
}

// ---- Input and events ----

void SerialComm::pump() {
    if (dispatching_) {
        return;
    }
    const FlagGuard dispatching(dispatching_);
    for (;;) {
        if (pending_.empty()) {
            if (state_ != LinkState::Open || port_->bytesAvailable() == 0) {
                return;
            }
            decodeInput();
            continue;
        }
        const ScannerEvent event = std::move(pending_.front());
        pending_.pop_front();
        raise(event);
    }
}

void SerialComm::decodeInput() {
    const QByteArray chunk = port_->read(kReadChunk);
    for (const auto& decoded : decoder_.feed(std::string_view(chunk.constData(), chunk.size()))) {
        ScannerEvent event = eventFor(decoded);
        if (std::holds_alternative<wire::FrameError>(decoded)) {
            reportProtocolFault(std::move(event));
        } else {
            protocolFaultRaised_ = false;
            pending_.push_back(std::move(event));
        }
    }
    watchFrame();
}

void SerialComm::reportProtocolFault(ScannerEvent fault) {
    if (protocolFaultRaised_) {
        return;
    }
    protocolFaultRaised_ = true;
    pending_.push_back(std::move(fault));
}

// Times each frame from its start byte; a frame that is not finished in time
// is dropped and ends the read with a fault.
void SerialComm::watchFrame() {
    if (!decoder_.midFrame()) {
        frameTimer_->stop();
    } else if (decoder_.framesBegun() != timedFrame_) {
        timedFrame_ = decoder_.framesBegun();
        frameTimer_->start();
    }
}

void SerialComm::raise(const ScannerEvent& event) {
    responseText_ = event.text;
    CCommEvents* sink = events();
    if (sink == nullptr) {
        return;
    }
    switch (event.kind) {
        case ScannerEvent::Kind::SheetRead:
            sink->SheetRead();
            break;
        case ScannerEvent::Kind::EndOfBatch:
            sink->EndOfBatch();
            break;
        case ScannerEvent::Kind::InitComplete:
            sink->InitComplete(event.result);
            break;
        case ScannerEvent::Kind::Notice:
            sink->Notice();
            break;
        case ScannerEvent::Kind::ScanFault:
            sink->ScanFault();
            break;
    }
}

// ---- Port errors, frame time-out, device watch ----

void SerialComm::onPortError(int error) {
    switch (static_cast<QSerialPort::SerialPortError>(error)) {
        case QSerialPort::NoError:
            // Raised on every open.
            return;
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
        case QSerialPort::ResourceError:
            // A device that went away: this QSerialPort reports it as a read
            // error, again and again until closed, or as a resource error.
            deviceLost();
            return;
        default:
            return;
    }
}

void SerialComm::onFrameTimeout() {
    if (state_ != LinkState::Open || !decoder_.midFrame()) {
        return;
    }
    if (dispatching_) {
        // Input waits while a handler runs; judge the frame when it can move.
        frameTimer_->start();
        return;
    }
    const std::uint64_t frame = decoder_.framesBegun();
    pump();  // bytes already buffered may finish the frame
    if (state_ != LinkState::Open || !decoder_.midFrame() || decoder_.framesBegun() != frame) {
        return;
    }
    decoder_.skipToNextFrame();
    frameTimer_->stop();
    reportProtocolFault(faultEvent(kFrameTimedOut));
    pump();
}

void SerialComm::checkDevice() {
    if (state_ == LinkState::Open && !QFileInfo::exists(QString::fromStdString(watchedPath_))) {
        deviceLost();
    }
}

}  // namespace scanforms::serial
