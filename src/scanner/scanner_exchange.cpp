// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The exchange with the scanner: what it sent, judged by what it owes
// (link_state.h), raised as the station's events.

#include "common/log_text.h"
#include "scanner/scanner_component.h"
#include "scanner/serial_timeouts.h"

namespace scanforms::scanner {
namespace {

constexpr char kFrameTimedOut[] = "Scanner stopped in the middle of a frame";

}  // namespace

void ScannerComponent::pump() {
    for (;;) {
        ScannerEvents* sink = events();
        if (sink == nullptr || sink->handlerRunning()) {
            // A modal box is open: the input waits in the link's buffer, and
            // the device waits once that is full, until handlersReturned.
            return;
        }
        if (auto decoded = input_.next(link_ == LinkState::Open ? device_.get() : nullptr)) {
            raise(*decoded);
        } else if (link_ == LinkState::LostFaultOwed) {
            moveTo(LinkState::LostReported, Owed::Nothing);
            sink->onScanFault(kNotConnected);
        } else {
            watchFrame();
            return;
        }
    }
}

void ScannerComponent::raise(const wire::DecodeResult& decoded) {
    if (const auto* error = std::get_if<wire::FrameError>(&decoded)) {
        if (input_.decoder().midFrame()) {
            // A frame starts inside the bad bytes: they were noise before it,
            // and that frame is what the scanner sent.
            droppedBeforeFrame(wire::describe(*error));
        } else {
            badInput(wire::describe(*error));
        }
    } else {
        raiseFrame(std::get<wire::Frame>(decoded));
    }
}

void ScannerComponent::raiseFrame(const wire::Frame& frame) {
    ScannerEvents& sink = *events();
    switch (frame.type) {
        case wire::FrameType::InitResult:
            if (!owesSetupAnswer(owed_)) {
                log(LogLevel::Info,
                    {portName(), "answered a setup string not waited for: dropped"});
                return;
            }
            endSetup(frame.result, frame.text);
            return;
        case wire::FrameType::Notice:
            sink.onNotice(frame.text);
            return;
        case wire::FrameType::Sheet:
        case wire::FrameType::EndOfBatch:
        case wire::FrameType::Fault:
            break;
    }
    if (owed_ == Owed::SetupAnswer) {
        badInput("a frame of type " + std::string(1, static_cast<char>(frame.type)) +
                 " in answer to the setup string");
        return;
    }
    moveTo(afterAnswer(owed_, Answer::ReadAnswered));
    switch (frame.type) {
        case wire::FrameType::Sheet:
            sink.onSheetRead(frame.text);
            return;
        case wire::FrameType::EndOfBatch:
            sink.onEndOfBatch();
            return;
        default:
            log(LogLevel::Warning, {portName(), "scan fault:", logText(frame.text)});
            sink.onScanFault(frame.text);
            return;
    }
}

void ScannerComponent::endSetup(std::int16_t result, const std::string& diagnostic) {
    moveTo(afterAnswer(owed_, Answer::SetupAnswered));
    if (result != 0) {
        log(LogLevel::Info, {portName(), "scanner ready"});
    } else {
        log(LogLevel::Warning, {portName(), "scanner not detected:", logText(diagnostic)});
    }
    events()->onInitComplete(result, diagnostic);
}

void ScannerComponent::badInput(const std::string& reason) {
    switch (owed_) {
        case Owed::Nothing:
        case Owed::FaultAnswer:
            // Line noise (a scanner being switched on), or more of the bad
            // input whose fault is raised already.
            if (!noiseLogged_) {
                noiseLogged_ = true;
                log(LogLevel::Info,
                    {portName(), "bad input dropped (nothing asked, or its read failed already):",
                     logText(reason)});
            }
            return;
        case Owed::SetupAnswer:
        case Owed::SetupAnswerThenSheet:
            log(LogLevel::Warning,
                {portName(), "garbled answer to the setup string:", logText(reason)});
            // The status line shows this text directly followed by the station's own.
            endSetup(0, "Garbled answer from the scanner on " + portName() + ". ");
            return;
        case Owed::Sheet:
            break;
    }
    moveTo(afterAnswer(owed_, Answer::ReadFailed));
    log(LogLevel::Warning, {portName(), "scan fault:", logText(reason)});
    events()->onScanFault(reason);
}

void ScannerComponent::droppedBeforeFrame(const std::string& reason) {
    if (!noiseLogged_) {
        noiseLogged_ = true;
        log(LogLevel::Info, {portName(), "bad input dropped, a frame starts inside it:",
                             logText(reason)});
    }
}

// Times each frame from its first byte, however slowly the rest trickles
// in; a frame that is not finished in time is dropped.
void ScannerComponent::watchFrame() {
    const wire::FrameDecoder& decoder = input_.decoder();
    if (link_ != LinkState::Open || !decoder.midFrame()) {
        frameTimer_->stop();
    } else if (decoder.framesBegun() != timedFrame_) {
        timedFrame_ = decoder.framesBegun();
        frameTimer_->start(kFrameTimeout);
    }
}

void ScannerComponent::onFrameTimeout() {
    if (link_ != LinkState::Open || !input_.decoder().midFrame()) {
        return;
    }
    ScannerEvents* sink = events();
    if (sink == nullptr || sink->handlerRunning()) {
        // Input waits while a handler runs; judge the frame when it can move.
        frameTimer_->start(kFrameTimeout);
        return;
    }
    const std::uint64_t frame = input_.decoder().framesBegun();
    pump();  // bytes already buffered may finish the frame
    const wire::FrameDecoder& decoder = input_.decoder();
    if (link_ != LinkState::Open || !decoder.midFrame() || decoder.framesBegun() != frame) {
        return;
    }
    input_.decoder().skipToNextFrame();
    frameTimer_->stop();
    if (input_.decoder().midFrame()) {
        droppedBeforeFrame(kFrameTimedOut);
    } else {
        badInput(kFrameTimedOut);
    }
    pump();
}

void ScannerComponent::onSetupTimeout() {
    if (link_ != LinkState::Open || !owesSetupAnswer(owed_)) {
        return;
    }
    ScannerEvents* sink = events();
    if (sink == nullptr || sink->handlerRunning()) {
        // The answer may be waiting unread behind a modal box.
        setupTimer_->start(setupWait_);
        return;
    }
    pump();  // an answer already buffered still counts
    if (link_ != LinkState::Open || !owesSetupAnswer(owed_)) {
        return;
    }
    log(LogLevel::Warning,
        {portName(), "no answer to the setup string in", std::to_string(setupWait_.count()), "ms"});
    // The status line shows this text directly followed by the station's own.
    const std::string others = platform_->otherDevicesHint(deviceName_);
    endSetup(0, "No answer from the scanner on " + portName() + ". " + logText(others));
}

}  // namespace scanforms::scanner
