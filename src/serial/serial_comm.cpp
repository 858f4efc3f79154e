// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "serial/serial_comm.h"

#include <stdexcept>

#include "common/failure.h"
#include "serial/port_map.h"
#include "serial/scanner_settings.h"
#include "serial/serial_log.h"
#include "serial/serial_timeouts.h"

namespace scanforms::serial {
namespace {

constexpr char kPortNotOpen[] = "Port is not open";

const char* nameOf(LinkState link) {
    switch (link) {
        case LinkState::Closed:
            return "Closed";
        case LinkState::Open:
            return "Open";
        case LinkState::LostFaultOwed:
            return "LostFaultOwed";
        case LinkState::LostReported:
            return "LostReported";
    }
    return "?";
}

const char* nameOf(Owed owed) {
    switch (owed) {
        case Owed::Nothing:
            return "Nothing";
        case Owed::SetupAnswer:
            return "SetupAnswer";
        case Owed::SetupAnswerThenSheet:
            return "SetupAnswerThenSheet";
        case Owed::Sheet:
            return "Sheet";
        case Owed::FaultAnswer:
            return "FaultAnswer";
    }
    return "?";
}

}  // namespace

SerialComm::SerialComm(QObject* parent)
    : QObject(parent), device_(this), frameTimer_(this), setupTimer_(this) {
    connect(&device_, &DevicePort::input, this, &SerialComm::pump);
    connect(&device_, &DevicePort::lost, this, &SerialComm::deviceLost);

    // The waits are the named figures, not a coarse timer's 5 % less.
    frameTimer_.setTimerType(Qt::PreciseTimer);
    frameTimer_.setSingleShot(true);
    frameTimer_.setInterval(kFrameTimeout);
    connect(&frameTimer_, &QTimer::timeout, this, &SerialComm::onFrameTimeout);

    setupTimer_.setTimerType(Qt::PreciseTimer);
    setupTimer_.setSingleShot(true);
    connect(&setupTimer_, &QTimer::timeout, this, &SerialComm::onSetupTimeout);
}

SerialComm::~SerialComm() {
    disconnect(&device_, nullptr, this, nullptr);
}

void SerialComm::moveTo(LinkState link, Owed owed) {
    if (link != LinkState::Open) {
        owed = Owed::Nothing;
    }
    if (link == link_ && owed == owed_) {
        return;
    }
    qCDebug(lcSerial).noquote() << portName() << nameOf(link_) << nameOf(owed_) << "->"
                                << nameOf(link) << nameOf(owed);
    link_ = link;
    owed_ = owed;
    if (!owesSetupAnswer(owed)) {
        setupTimer_.stop();
    }
    if (link != LinkState::Open) {
        frameTimer_.stop();
    }
}

// ---- Members ----

void SerialComm::setPortNumber(std::int16_t port) {
    if (port == 0) {
        // The station's port until the operator clicks one.
        throw Failure("No port chosen: click Com1, Com2, Com3 or Com4 first");
    }
    if (port < 0) {
        throw Failure("Port number " + std::to_string(port) + " is not a serial port");
    }
    portNumber_ = port;
}

void SerialComm::openPort() {
    const std::string device = portDeviceName(portNumber_);
    if (link_ == LinkState::Open && device == deviceName_) {
        return;
    }
    device_.close();
    moveTo(LinkState::Closed, Owed::Nothing);
    deviceName_ = device;
    openDevice();
}

void SerialComm::closePort() {
    if (link_ != LinkState::Closed) {
        qCInfo(lcSerial).noquote() << portName() << "closed";
    }
    device_.close();
    input_.clear();
    moveTo(LinkState::Closed, Owed::Nothing);
}

bool SerialComm::portIsOpen() const {
    return link_ == LinkState::Open;
}

void SerialComm::recover() {
    if (link_ == LinkState::Closed) {
        throw Failure(kPortNotOpen);
    }
    if (isLost(link_)) {
        device_.close();
        if (!openDevice()) {
            // The operator hears of the loss through this failure: its fault
            // is owed no more.
            moveTo(LinkState::LostReported, Owed::Nothing);
            qCWarning(lcSerial).noquote() << portName() << "is still gone";
            throw Failure(kNotConnected);
        }
        qCInfo(lcSerial).noquote() << portName() << "is back";
    }
    send(wire::kRecoverCommand);
}

void SerialComm::setUp(std::string_view setup) {
    if (link_ == LinkState::Closed) {
        qCInfo(lcSerial).noquote() << portName() << "is not open: the setup string was not sent";
        return;
    }
    if (droppedBeforeFault("the setup string")) {
        return;
    }
    requireOpen();
    send(setup);
}

void SerialComm::sendCommand(std::string_view command) {
    if (droppedBeforeFault(command)) {
        return;
    }
    requireOpen();
    send(command);
}

void SerialComm::requirePortForCommands() const {
    if (link_ != LinkState::LostFaultOwed) {
        requireOpen();
    }
}

HeldInput SerialComm::heldInput() {
    const QByteArray waiting = link_ == LinkState::Open ? device_.peek() : QByteArray();
    return input_.held({waiting.constData(), static_cast<std::size_t>(waiting.size())},
                       owesReadOutcome(owed_));
}

void SerialComm::handlersReturned() {
    // From the event loop, not from inside the station's delivery: input
    // left unread while the handlers ran may be raised now.
    QTimer::singleShot(0, this, &SerialComm::pump);
}

// ---- The link ----

bool SerialComm::openDevice() {
    input_.clear();
    if (const QString why = device_.open(deviceName_); !why.isEmpty()) {
        qCWarning(lcSerial).noquote() << portName() << "did not open:"
                                      << why + QStringLiteral("; serial devices here: ") +
                                             loggable(namesOf(devices_()).toStdString());
        return false;
    }
    noiseLogged_ = false;
    moveTo(LinkState::Open, Owed::Nothing);
    qCInfo(lcSerial).noquote() << portName() << "opened";
    return true;
}

void SerialComm::deviceLost(const QString& why) {
    if (link_ != LinkState::Open) {
        return;  // a burst of errors from one loss is one loss
    }
    qCWarning(lcSerial).noquote() << portName() << "lost:" << why;
    moveTo(LinkState::LostFaultOwed, Owed::Nothing);
    // The frame under way is cut; frames already read are still raised,
    // then the one fault.
    input_.decoder().reset();
    // The port is closed and the fault raised after the signal that told of
    // the loss has returned: the port may be inside its read handler now.
    QTimer::singleShot(0, this, [this] {
        if (isLost(link_)) {
            device_.close();
        }
        pump();
    });
}

void SerialComm::requireOpen() const {
    if (isLost(link_)) {
        throw Failure(kNotConnected);
    }
    if (link_ != LinkState::Open) {
        throw Failure(kPortNotOpen);
    }
}

bool SerialComm::droppedBeforeFault(std::string_view what) {
    if (link_ != LinkState::LostFaultOwed) {
        return false;
    }
    qCInfo(lcSerial).noquote() << portName() << "is gone:" << loggable(what)
                               << "was not sent; the fault follows";
    return true;
}

QString SerialComm::portName() const {
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(portLabel(portNumber_)),
                                         loggable(deviceName_));
}

void SerialComm::send(std::string_view command) {
    std::string line;
    try {
        line = wire::encodeCommand(command);
    } catch (const std::invalid_argument& refused) {
        throw Failure(refused.what());
    }
    if (!device_.write(line)) {
        throw Failure("Could not send to the scanner");
    }
    noiseLogged_ = false;
    const wire::CommandKind kind = wire::classifyCommand(command);
    moveTo(afterSending(owed_, kind));
    if (kind == wire::CommandKind::Setup) {
        setupTimer_.start(setupAnswerTimeout());
    }
}

}  // namespace scanforms::serial
