// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "scanner_model.h"

#include <utility>

#include "wire/wire_protocol.h"

namespace scanner_sim {
namespace {

using Kind = ScriptItem::Kind;
using scanforms::wire::encodeFrame;
using scanforms::wire::Frame;
using scanforms::wire::FrameType;

constexpr std::int16_t kReady = 1;
constexpr std::int16_t kNotDetected = 0;

// Items that answer a read and so end it.
bool answersRead(Kind kind) {
    switch (kind) {
        case Kind::Sheet:
        case Kind::Empty:
        case Kind::Fault:
        case Kind::End:
        case Kind::Raw:
        case Kind::HangUp:
            return true;
        case Kind::Notice:
        case Kind::Noise:
        case Kind::NotDetected:
        case Kind::Silent:
        case Kind::SetupLate:
        case Kind::SetupRaw:
        case Kind::LineSettings:
            return false;
    }
    return false;
}

// Items that wait for a setup string and answer it.
bool answersSetup(Kind kind) {
    return kind == Kind::NotDetected || kind == Kind::Silent || kind == Kind::SetupLate ||
           kind == Kind::SetupRaw;
}

std::string bytesOf(const ScriptItem& item) {
    switch (item.kind) {
        case Kind::Sheet:
        case Kind::Empty:
            return encodeFrame({FrameType::Sheet, item.bytes, 0});
        case Kind::Fault:
            return encodeFrame({FrameType::Fault, item.bytes, 0});
        case Kind::Notice:
            return encodeFrame({FrameType::Notice, item.bytes, 0});
        case Kind::End:
            return encodeFrame({FrameType::EndOfBatch, "", 0});
        case Kind::Raw:
        case Kind::Noise:
            return item.bytes;
        case Kind::NotDetected:
        case Kind::Silent:
        case Kind::SetupLate:
        case Kind::SetupRaw:
        case Kind::HangUp:
        case Kind::LineSettings:
            return {};
    }
    return {};
}

}  // namespace

ScannerModel::ScannerModel(std::vector<ScriptItem> script) : script_(std::move(script)) {}

const ScriptItem* ScannerModel::current() const {
    return cursor_ < script_.size() ? &script_[cursor_] : nullptr;
}

std::string ScannerModel::onCommand(std::string_view line) {
    switch (scanforms::wire::classifyCommand(line)) {
        case scanforms::wire::CommandKind::Read:
            readOutstanding_ = true;
            return {};
        case scanforms::wire::CommandKind::Recover:
            readOutstanding_ = false;
            return {};
        case scanforms::wire::CommandKind::Setup:
            break;
    }
    answerDelay_ = std::chrono::milliseconds::zero();
    const ScriptItem* item = current();
    if (item == nullptr || !answersSetup(item->kind)) {
        return encodeFrame({FrameType::InitResult, "", kReady});
    }
    ++cursor_;
    switch (item->kind) {
        case Kind::NotDetected:
            return encodeFrame({FrameType::InitResult, item->bytes, kNotDetected});
        case Kind::SetupLate:
            answerDelay_ = std::chrono::milliseconds(std::stoll("0" + item->bytes));
            return encodeFrame({FrameType::InitResult, "", kReady});
        case Kind::SetupRaw:
            return item->bytes;
        default:
            return {};
    }
}

ScannerModel::Step ScannerModel::next() const {
    const ScriptItem* item = current();
    if (item == nullptr || answersSetup(item->kind)) {
        return {};
    }
    if (item->kind == Kind::Notice || item->kind == Kind::Noise) {
        return {Action::Send, bytesOf(*item)};
    }
    if (!readOutstanding_) {
        return {};
    }
    switch (item->kind) {
        case Kind::LineSettings:
            return {Action::LineSettings, {}};
        case Kind::HangUp:
            return {Action::HangUp, {}};
        default:
            return {Action::Send, bytesOf(*item)};
    }
}

void ScannerModel::taken() {
    const ScriptItem* item = current();
    if (item == nullptr) {
        return;
    }
    if (answersRead(item->kind)) {
        readOutstanding_ = false;
    }
    ++cursor_;
}

}  // namespace scanner_sim
