// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanner component: plain C++ over a Platform (platform.h) that gives it
// a device link, timers and the system's names. It speaks the wire protocol
// of wire/wire_protocol.h and reports only through the station's events,
// raised from the link's input and timer callbacks on the thread that owns
// it. Its states and what moves them on are drawn in link_state.h.
//
//   setPortNumber(N) --> device (Platform::portDevice: variable, settings file, default)
//   openPort --------> DeviceLink::open, input cleared
//   setUp -----------> setup string; its answer owed for the setup wait
//                      (Platform::setupAnswerTimeout); none --> onInitComplete(0,
//                      "No answer ...", and Platform::otherDevicesHint)
//   LinkEvents::onInput -> FrameInput (frame_input.h), one frame at a time
//                      --> events()->on...(its text); nothing is read while
//                      a station handler runs
//   LinkEvents::onLost -> LostFaultOwed, then one onScanFault
//   recover ---------> re-opens a lost device, sends the recover command
//   heldInput -------> FrameInput::held: the chunk and the link's waiting
//                      bytes decoded on a copy, nothing raised
//
// scanner_component.cpp holds the members and the link; scanner_exchange.cpp
// the input and the events it raises. Every change of the link and every
// fault is one line in the component's log (Platform::log).

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "scanner/frame_input.h"
#include "scanner/link_state.h"
#include "scanner/platform.h"
#include "station/scanner.h"
#include "wire/wire_protocol.h"

namespace scanforms::scanner {

class ScannerComponent : public Scanner, public LinkEvents {
public:
    explicit ScannerComponent(std::unique_ptr<Platform> platform);
    ~ScannerComponent() override;
    ScannerComponent(const ScannerComponent&) = delete;
    ScannerComponent& operator=(const ScannerComponent&) = delete;

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
    // Closed or lost: what sendCommand raises. While the loss's fault is
    // owed a command is dropped, not refused, so nothing is raised then.
    void requirePortForCommands() const override;
    // The frames read or waiting in the link, decoded without raising them.
    HeldInput heldInput() override;

    LinkState linkState() const { return link_; }
    Owed owed() const { return owed_; }
    // What was read from the device and not raised yet.
    const FrameInput& input() const { return input_; }
    // The device of the last open attempt.
    const std::string& deviceName() const { return deviceName_; }

    // LinkEvents, from the device link.
    void onInput() override { pump(); }
    void onLost(std::string why) override { deviceLost(why); }

protected:
    Platform& platform() { return *platform_; }

private:
    // The reason of a lost device's fault, and the failure while it is gone.
    static constexpr char kNotConnected[] = "Scanner is not connected";

    // The one place the state changes. Owed is Nothing unless the link is
    // Open; the setup wait runs only while the setup answer is owed, the
    // frame timer only while the link is Open.
    void moveTo(LinkState link, Owed owed);
    void moveTo(Owed owed) { moveTo(link_, owed); }

    bool openDevice();
    void deviceLost(const std::string& why);
    void requireOpen() const;
    // True when the device is lost and its fault not raised yet: `what` is
    // dropped, and that is logged.
    bool droppedBeforeFault(std::string_view what);
    void send(std::string_view command);
    // "Com1 (/dev/ttyUSB0)", for the log and the operator.
    std::string portName() const;
    // One log line: `parts` joined by blanks.
    void log(LogLevel level, std::initializer_list<std::string_view> parts);

    // scanner_exchange.cpp: raises events from the input, one frame at a
    // time, while the station is free to take them.
    void pump();
    void raise(const wire::DecodeResult& decoded);
    void raiseFrame(const wire::Frame& frame);
    void endSetup(std::int16_t result, const std::string& diagnostic);
    // Bytes that made no frame, judged by what the scanner owes.
    void badInput(const std::string& reason);
    // Bad bytes with a frame start inside: only logged, the frame is judged.
    void droppedBeforeFrame(const std::string& reason);
    void watchFrame();
    void onFrameTimeout();
    void onSetupTimeout();

    // Declared first: the link and the timers it made go before it.
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<DeviceLink> device_;
    FrameInput input_;
    std::unique_ptr<Timer> frameTimer_;
    std::unique_ptr<Timer> setupTimer_;
    // The setup wait under way, as the site set it when the setup was sent.
    std::chrono::milliseconds setupWait_{0};

    std::int16_t portNumber_ = 1;
    std::string deviceName_;
    LinkState link_ = LinkState::Closed;
    Owed owed_ = Owed::Nothing;
    // The frame the frame timer runs for, by the decoder's count of starts.
    std::uint64_t timedFrame_ = 0;
    // Line noise was logged since the host last sent something.
    bool noiseLogged_ = false;
};

}  // namespace scanforms::scanner
