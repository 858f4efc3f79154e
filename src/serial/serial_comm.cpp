#include "serial/serial_comm.h"

#include <QFileInfo>
#include <stdexcept>

#include "common/failure.h"
#include "serial/port_name.h"
#include "serial/serial_timeouts.h"

namespace scanforms::serial {
namespace {

// The most bytes read from the port in one go.
constexpr qint64 kReadChunk = 4096;
// What the port buffers while an event handler runs; beyond it the device
// waits (a pseudo-terminal's writer blocks, a UART's buffer fills).
constexpr qint64 kReadBufferSize = 16 * 1024;

constexpr char kPortNotOpen[] = "Port is not open";
constexpr char kNotConnected[] = "Scanner is not connected";
constexpr char kFrameTimedOut[] = "Scanner stopped in the middle of a frame";

}  // namespace

SerialComm::SerialComm(QObject* parent)
    : QObject(parent), port_(this), frameTimer_(this), deviceWatch_(this) {
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::TwoStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(kReadBufferSize);
    connect(&port_, &QSerialPort::readyRead, this, &SerialComm::pump);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialComm::onPortError);

    frameTimer_.setSingleShot(true);
    frameTimer_.setInterval(kFrameTimeout);
    connect(&frameTimer_, &QTimer::timeout, this, &SerialComm::onFrameTimeout);

    deviceWatch_.setInterval(kDeviceWatchInterval);
    connect(&deviceWatch_, &QTimer::timeout, this, &SerialComm::checkDevice);
}

SerialComm::~SerialComm() {
    disconnect(&port_, nullptr, this, nullptr);
    closeDevice(LinkState::Closed);
}

// ---- Members ----

void SerialComm::setPortNumber(std::int16_t port) {
    if (port <= 0) {
        throw Failure("Port number " + std::to_string(port) + " is not a serial port");
    }
    portNumber_ = port;
}

void SerialComm::openPort() {
    const std::string device = portDeviceName(portNumber_);
    if (state_ == LinkState::Open && device == device_) {
        return;
    }
    closeDevice(LinkState::Closed);
    device_ = device;
    openDevice();
}

void SerialComm::closePort() {
    closeDevice(LinkState::Closed);
}

bool SerialComm::portIsOpen() const {
    return state_ == LinkState::Open;
}

void SerialComm::recover() {
    if (state_ == LinkState::Closed) {
        throw Failure(kPortNotOpen);
    }
    if (state_ == LinkState::Lost) {
        if (port_.isOpen()) {
            port_.close();
        }
        if (!openDevice()) {
            throw Failure(kNotConnected);
        }
    }
    send(wire::kRecoverCommand);
}

void SerialComm::setUp(std::string_view setup) {
    requireOpen();
    send(setup);
}

void SerialComm::sendCommand(std::string_view command) {
    requireOpen();
    send(command);
}

void SerialComm::handlersReturned() {
    if (heldBack_) {
        heldBack_ = false;
        // From the event loop, not from inside the station's delivery.
        QTimer::singleShot(0, this, &SerialComm::pump);
    }
}

// ---- The device ----

bool SerialComm::openDevice() {
    const QString name = QString::fromStdString(device_);
    port_.setPortName(name);
    if (!port_.open(QIODevice::ReadWrite)) {
        port_.clearError();
        return false;
    }
    // Bytes the device sent before this open are still queued: they belong
    // to nobody now.
    port_.clear(QSerialPort::Input);
    port_.readAll();
    watchedPath_ = QFileInfo(name).canonicalFilePath().toStdString();
    decoder_.reset();
    input_.clear();
    inputUsed_ = 0;
    lostFaultOwed_ = false;
    protocolFaultRaised_ = false;
    state_ = LinkState::Open;
    if (!watchedPath_.empty()) {
        deviceWatch_.start();
    }
    return true;
}

void SerialComm::closeDevice(LinkState next) {
    state_ = next;
    frameTimer_.stop();
    deviceWatch_.stop();
    input_.clear();
    inputUsed_ = 0;
    lostFaultOwed_ = false;
    decoder_.reset();
    if (port_.isOpen()) {
        port_.close();
    }
    port_.clearError();
}

void SerialComm::deviceLost() {
    if (state_ != LinkState::Open) {
        return;
    }
    state_ = LinkState::Lost;
    frameTimer_.stop();
    deviceWatch_.stop();
    decoder_.reset();
    // Frames already read are still raised, then the one fault.
    lostFaultOwed_ = true;
    // The port is closed and the fault raised after the signal that told of
    // the loss has returned: the port may be inside its read handler now.
    QTimer::singleShot(0, this, [this] {
        if (state_ == LinkState::Lost && port_.isOpen()) {
            port_.close();
            port_.clearError();
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
    if (port_.write(line.data(), size) != size) {
        throw Failure("Could not send to the scanner");
    }
    protocolFaultRaised_ = false;
}

// ---- Input and events ----

void SerialComm::pump() {
    for (;;) {
        ScannerEvents* sink = events();
        if (sink == nullptr) {
            return;
        }
        if (sink->handlerRunning()) {
            // A modal box is open: the input waits in the port's buffer, and
            // the device waits once that is full.
            heldBack_ = true;
            return;
        }
        if (auto decoded = nextFromInput()) {
            raise(*decoded);
        } else if (lostFaultOwed_) {
            lostFaultOwed_ = false;
            sink->onScanFault(kNotConnected);
        } else {
            return;
        }
    }
}

std::optional<wire::DecodeResult> SerialComm::nextFromInput() {
    for (;;) {
        if (inputUsed_ < input_.size()) {
            std::string_view rest(input_.constData() + inputUsed_,
                                  static_cast<std::size_t>(input_.size() - inputUsed_));
            const std::size_t before = rest.size();
            auto decoded = decoder_.next(rest);
            inputUsed_ += static_cast<qsizetype>(before - rest.size());
            if (decoded) {
                return decoded;
            }
        }
        if (state_ != LinkState::Open || port_.bytesAvailable() == 0) {
            watchFrame();
            return std::nullopt;
        }
        input_ = port_.read(kReadChunk);
        inputUsed_ = 0;
    }
}

void SerialComm::raise(const wire::DecodeResult& decoded) {
    if (const auto* error = std::get_if<wire::FrameError>(&decoded)) {
        raiseProtocolFault(wire::describe(*error));
        return;
    }
    const auto& frame = std::get<wire::Frame>(decoded);
    protocolFaultRaised_ = false;
    ScannerEvents& sink = *events();
    switch (frame.type) {
        case wire::FrameType::Sheet:
            sink.onSheetRead(frame.text);
            break;
        case wire::FrameType::EndOfBatch:
            sink.onEndOfBatch();
            break;
        case wire::FrameType::InitResult:
            sink.onInitComplete(frame.result, frame.text);
            break;
        case wire::FrameType::Notice:
            sink.onNotice(frame.text);
            break;
        case wire::FrameType::Fault:
            sink.onScanFault(frame.text);
            break;
    }
}

void SerialComm::raiseProtocolFault(const std::string& reason) {
    if (protocolFaultRaised_) {
        return;
    }
    protocolFaultRaised_ = true;
    events()->onScanFault(reason);
}

// Times each frame from its start byte; a frame that is not finished in time
// is dropped and ends the read with a fault.
void SerialComm::watchFrame() {
    if (!decoder_.midFrame()) {
        frameTimer_.stop();
    } else if (decoder_.framesBegun() != timedFrame_) {
        timedFrame_ = decoder_.framesBegun();
        frameTimer_.start();
    }
}

// ---- Port errors, frame time-out, device watch ----

void SerialComm::onPortError(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
        case QSerialPort::ResourceError:
            // A device that went away: this QSerialPort reports it as a read
            // error, again and again until closed, or as a resource error.
            deviceLost();
            return;
        default:
            // NoError comes with every open; the rest leave the link as it is.
            return;
    }
}

void SerialComm::onFrameTimeout() {
    if (state_ != LinkState::Open || !decoder_.midFrame()) {
        return;
    }
    ScannerEvents* sink = events();
    if (sink != nullptr && sink->handlerRunning()) {
        // Input waits while a handler runs; judge the frame when it can move.
        frameTimer_.start();
        return;
    }
    const std::uint64_t frame = decoder_.framesBegun();
    pump();  // bytes already buffered may finish the frame
    if (state_ != LinkState::Open || !decoder_.midFrame() || decoder_.framesBegun() != frame ||
        sink == nullptr) {
        return;
    }
    decoder_.skipToNextFrame();
    frameTimer_.stop();
    raiseProtocolFault(kFrameTimedOut);
    pump();
}

void SerialComm::checkDevice() {
    if (state_ == LinkState::Open && !QFileInfo::exists(QString::fromStdString(watchedPath_))) {
        deviceLost();
    }
}

}  // namespace scanforms::serial
