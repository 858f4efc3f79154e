// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/serial_comm.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <stdexcept>

#include "common/failure.h"
#include "serial/open_failure.h"
#include "serial/port_map.h"
#include "serial/serial_timeouts.h"

namespace scanforms::serial {
namespace {

Q_LOGGING_CATEGORY(lcSerial, "scanforms.serial", QtInfoMsg)

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
    : QObject(parent), port_(this), frameTimer_(this), setupTimer_(this), deviceWatch_(this) {
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

    setupTimer_.setSingleShot(true);
    setupTimer_.setInterval(kSetupAnswerTimeout);
    connect(&setupTimer_, &QTimer::timeout, this, &SerialComm::onSetupTimeout);

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
    if (state_ != LinkState::Closed) {
        qCInfo(lcSerial).noquote() << portName() << "closed";
    }
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
        // The operator hears of the loss now, here or through this failure.
        lostFaultOwed_ = false;
        if (!openDevice()) {
            qCWarning(lcSerial).noquote() << portName() << "is still gone";
            throw Failure(kNotConnected);
        }
        qCInfo(lcSerial).noquote() << portName() << "is back";
    }
    send(wire::kRecoverCommand);
    readOutstanding_ = false;
}

void SerialComm::setUp(std::string_view setup) {
    if (state_ == LinkState::Closed) {
        qCInfo(lcSerial).noquote() << portName() << "is not open: the setup string was not sent";
        return;
    }
    if (droppedBeforeFault("the setup string")) {
        return;
    }
    requireOpen();
    send(setup);
    setupOutstanding_ = true;
    setupTimer_.start();
}

void SerialComm::sendCommand(std::string_view command) {
    if (droppedBeforeFault(command)) {
        return;
    }
    requireOpen();
    send(command);
    if (wire::classifyCommand(command) == wire::CommandKind::Read) {
        readOutstanding_ = true;
    }
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
        qCWarning(lcSerial).noquote()
            << portName()
            << "did not open:" << describeOpenFailure(name, port_.error(), port_.errorString());
        port_.clearError();
        return false;
    }
    // Bytes the device sent before this open are still queued: they belong
    // to nobody now.
    port_.clear(QSerialPort::Input);
    port_.readAll();
    watchedPath_ = QFileInfo(name).canonicalFilePath().toStdString();
    forgetExchange();
    state_ = LinkState::Open;
    if (!watchedPath_.empty()) {
        deviceWatch_.start();
    }
    qCInfo(lcSerial).noquote() << portName() << "opened";
    return true;
}

void SerialComm::closeDevice(LinkState next) {
    state_ = next;
    frameTimer_.stop();
    setupTimer_.stop();
    deviceWatch_.stop();
    forgetExchange();
    if (port_.isOpen()) {
        port_.close();
    }
    port_.clearError();
}

void SerialComm::forgetExchange() {
    decoder_.reset();
    input_.clear();
    inputUsed_ = 0;
    lostFaultOwed_ = false;
    readOutstanding_ = false;
    setupOutstanding_ = false;
    protocolFaultRaised_ = false;
    noiseLogged_ = false;
}

void SerialComm::deviceLost(const QString& why) {
    if (state_ != LinkState::Open) {
        return;  // a burst of errors from one loss is one loss
    }
    qCWarning(lcSerial).noquote() << portName() << "lost:" << why;
    state_ = LinkState::Lost;
    frameTimer_.stop();
    setupTimer_.stop();
    setupOutstanding_ = false;
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

bool SerialComm::droppedBeforeFault(std::string_view what) {
    if (state_ != LinkState::Lost || !lostFaultOwed_) {
        return false;
    }
    qCInfo(lcSerial).noquote() << portName()
                               << "is gone:" << QByteArray::fromStdString(std::string(what))
                               << "was not sent; the fault follows";
    return true;
}

QString SerialComm::portName() const {
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(portLabel(portNumber_)),
                                         QString::fromStdString(device_));
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
    noiseLogged_ = false;
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
            readOutstanding_ = false;
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
        badInput(wire::describe(*error));
        return;
    }
    const auto& frame = std::get<wire::Frame>(decoded);
    protocolFaultRaised_ = false;
    ScannerEvents& sink = *events();
    switch (frame.type) {
        case wire::FrameType::Sheet:
            readOutstanding_ = false;
            sink.onSheetRead(frame.text);
            break;
        case wire::FrameType::EndOfBatch:
            readOutstanding_ = false;
            sink.onEndOfBatch();
            break;
        case wire::FrameType::InitResult:
            if (!setupOutstanding_) {
                qCInfo(lcSerial).noquote()
                    << portName() << "answered the setup string after the wait ended: dropped";
                break;
            }
            raiseInitComplete(frame.result, frame.text);
            break;
        case wire::FrameType::Notice:
            sink.onNotice(frame.text);
            break;
        case wire::FrameType::Fault:
            readOutstanding_ = false;
            qCWarning(lcSerial).noquote()
                << portName() << "scan fault:" << QByteArray::fromStdString(frame.text);
            sink.onScanFault(frame.text);
            break;
    }
}

void SerialComm::raiseInitComplete(std::int16_t result, const std::string& diagnostic) {
    setupOutstanding_ = false;
    setupTimer_.stop();
    if (result != 0) {
        qCInfo(lcSerial).noquote() << portName() << "scanner ready";
    } else {
        qCWarning(lcSerial).noquote()
            << portName() << "scanner not detected:" << QByteArray::fromStdString(diagnostic);
    }
    events()->onInitComplete(result, diagnostic);
}

void SerialComm::badInput(const std::string& reason) {
    if (!readOutstanding_ && !setupOutstanding_) {
        if (!noiseLogged_) {
            noiseLogged_ = true;
            qCInfo(lcSerial).noquote()
                << portName()
                << "line noise while nothing was asked, dropped:" << QString::fromStdString(reason);
        }
        return;
    }
    if (protocolFaultRaised_) {
        return;
    }
    protocolFaultRaised_ = true;
    readOutstanding_ = false;
    qCWarning(lcSerial).noquote() << portName() << "scan fault:" << QString::fromStdString(reason);
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
            deviceLost(port_.errorString());
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
    badInput(kFrameTimedOut);
    pump();
}

void SerialComm::onSetupTimeout() {
    if (state_ != LinkState::Open || !setupOutstanding_) {
        return;
    }
    ScannerEvents* sink = events();
    if (sink != nullptr && sink->handlerRunning()) {
        // The answer may be waiting unread behind a modal box.
        setupTimer_.start();
        return;
    }
    pump();  // an answer already buffered still counts
    if (state_ != LinkState::Open || !setupOutstanding_ || sink == nullptr) {
        return;
    }
    qCWarning(lcSerial).noquote() << portName() << "no answer to the setup string in"
                                  << kSetupAnswerTimeout.count() << "ms";
    // The status line shows this text directly followed by the station's own.
    raiseInitComplete(0, "No answer from the scanner on " + portName().toStdString() + ". ");
}

void SerialComm::checkDevice() {
    if (state_ == LinkState::Open && !QFileInfo::exists(QString::fromStdString(watchedPath_))) {
        deviceLost(QStringLiteral("the device file is gone"));
    }
}

}  // namespace scanforms::serial
