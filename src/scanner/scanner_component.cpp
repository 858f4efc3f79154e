// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "scanner/scanner_component.h"

#include <stdexcept>
#include <utility>

#include "common/failure.h"
#include "common/log_text.h"

namespace scanforms::scanner {
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

ScannerComponent::ScannerComponent(std::unique_ptr<Platform> platform)
    : platform_(std::move(platform)),
      device_(platform_->makeLink(*this)),
      // The waits are the named figures, measured to the millisecond.
      frameTimer_(platform_->makeTimer([this] { onFrameTimeout(); })),
      setupTimer_(platform_->makeTimer([this] { onSetupTimeout(); })) {}

ScannerComponent::~ScannerComponent() {
    // Closed while the component is whole: a link tells nothing after its close.
    device_->close();
}

void ScannerComponent::moveTo(LinkState link, Owed owed) {
    if (link != LinkState::Open) {
        owed = Owed::Nothing;
    }
    if (link == link_ && owed == owed_) {
        return;
    }
    log(LogLevel::Debug,
        {portName(), nameOf(link_), nameOf(owed_), "->", nameOf(link), nameOf(owed)});
    link_ = link;
    owed_ = owed;
    if (!owesSetupAnswer(owed)) {
        setupTimer_->stop();
    }
    if (link != LinkState::Open) {
        frameTimer_->stop();
    }
}

// ---- Members ----

void ScannerComponent::setPortNumber(std::int16_t port) {
    if (port == 0) {
        // The station's port until the operator clicks one.
        throw Failure("No port chosen: click Com1, Com2, Com3 or Com4 first");
    }
    if (port < 0) {
        throw Failure("Port number " + std::to_string(port) + " is not a serial port");
    }
    portNumber_ = port;
}

void ScannerComponent::openPort() {
    const std::string device = platform_->portDevice(portNumber_);
    if (link_ == LinkState::Open && device == deviceName_) {
        return;
    }
    device_->close();
    moveTo(LinkState::Closed, Owed::Nothing);
    deviceName_ = device;
    openDevice();
}

void ScannerComponent::closePort() {
    if (link_ != LinkState::Closed) {
        log(LogLevel::Info, {portName(), "closed"});
    }
    device_->close();
    input_.clear();
    moveTo(LinkState::Closed, Owed::Nothing);
}

bool ScannerComponent::portIsOpen() const {
    return link_ == LinkState::Open;
}

void ScannerComponent::recover() {
    if (link_ == LinkState::Closed) {
        throw Failure(kPortNotOpen);
    }
    if (isLost(link_)) {
        device_->close();
        if (!openDevice()) {
            // The operator hears of the loss through this failure: its fault
            // is owed no more.
            moveTo(LinkState::LostReported, Owed::Nothing);
            log(LogLevel::Warning, {portName(), "is still gone"});
            throw Failure(kNotConnected);
        }
        log(LogLevel::Info, {portName(), "is back"});
    }
    send(wire::kRecoverCommand);
}

void ScannerComponent::setUp(std::string_view setup) {
    if (link_ == LinkState::Closed) {
        log(LogLevel::Info, {portName(), "is not open: the setup string was not sent"});
        return;
    }
    if (droppedBeforeFault("the setup string")) {
        return;
    }
    requireOpen();
    send(setup);
}

void ScannerComponent::sendCommand(std::string_view command) {
    if (droppedBeforeFault(command)) {
        return;
    }
    requireOpen();
    send(command);
}

void ScannerComponent::requirePortForCommands() const {
    if (link_ != LinkState::LostFaultOwed) {
        requireOpen();
    }
}

HeldInput ScannerComponent::heldInput() {
    const std::string waiting = link_ == LinkState::Open ? device_->peek() : std::string();
    return input_.held(waiting, owesReadOutcome(owed_));
}

void ScannerComponent::handlersReturned() {
    // From the event loop, not from inside the station's delivery: input
    // left unread while the handlers ran may be raised now.
    platform_->post([this] { pump(); });
}

// ---- The link ----

bool ScannerComponent::openDevice() {
    input_.clear();
    if (const std::string why = device_->open(deviceName_); !why.empty()) {
        log(LogLevel::Warning,
            {portName(),
             "did not open:", why + "; serial devices here: " + logText(platform_->deviceNames())});
        return false;
    }
    noiseLogged_ = false;
    moveTo(LinkState::Open, Owed::Nothing);
    log(LogLevel::Info, {portName(), "opened"});
    return true;
}

void ScannerComponent::deviceLost(const std::string& why) {
    if (link_ != LinkState::Open) {
        return;  // a burst of errors from one loss is one loss
    }
    log(LogLevel::Warning, {portName(), "lost:", why});
    moveTo(LinkState::LostFaultOwed, Owed::Nothing);
    // The frame under way is cut; frames already read are still raised,
    // then the one fault.
    input_.decoder().reset();
    // The port is closed and the fault raised after the event that told of
    // the loss has returned: the link may be inside its read handler now.
    platform_->post([this] {
        if (isLost(link_)) {
            device_->close();
        }
        pump();
    });
}

void ScannerComponent::requireOpen() const {
    if (isLost(link_)) {
        throw Failure(kNotConnected);
    }
    if (link_ != LinkState::Open) {
        throw Failure(kPortNotOpen);
    }
}

bool ScannerComponent::droppedBeforeFault(std::string_view what) {
    if (link_ != LinkState::LostFaultOwed) {
        return false;
    }
    log(LogLevel::Info, {portName(), "is gone:", logText(what), "was not sent; the fault follows"});
    return true;
}

std::string ScannerComponent::portName() const {
    return "Com" + std::to_string(portNumber_) + " (" + logText(deviceName_) + ")";
}

void ScannerComponent::log(LogLevel level, std::initializer_list<std::string_view> parts) {
    std::string line;
    for (const std::string_view part : parts) {
        if (!line.empty()) {
            line += ' ';
        }
        line += part;
    }
    platform_->log(level, line);
}

void ScannerComponent::send(std::string_view command) {
    std::string line;
    try {
        line = wire::encodeCommand(command);
    } catch (const std::invalid_argument& refused) {
        throw Failure(refused.what());
    }
    if (!device_->write(line)) {
        throw Failure("Could not send to the scanner");
    }
    noiseLogged_ = false;
    const wire::CommandKind kind = wire::classifyCommand(command);
    moveTo(afterSending(owed_, kind));
    if (kind == wire::CommandKind::Setup) {
        setupWait_ = platform_->setupAnswerTimeout();
        setupTimer_->start(setupWait_);
    }
}

}  // namespace scanforms::scanner
