// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/failure.h"
#include "station/scanner.h"

namespace scanforms::testing {

// A scripted scanner component: records every call in `log` (shared with the
// fake view, so the order of effects across both can be checked) and raises
// events when the test asks, also while a handler runs (the station must
// hold them back itself).
class FakeScanner : public Scanner {
public:
    explicit FakeScanner(std::vector<std::string>& log) : log_(log) {}

    // Whether openPort succeeds.
    bool opens = true;
    // Members that raise a Failure with the given description when called,
    // by the name they are logged under ("setPortNumber", "sendCommand", ...).
    std::map<std::string, std::string> failing;
    bool open = false;
    std::int16_t portNumber = -1;
    // What the input holds when the station asks (sheets the scanner pulled
    // while a handler ran, a read on its way); asking changes nothing.
    HeldInput held;

    void setPortNumber(std::int16_t port) override {
        call("setPortNumber", std::to_string(port));
        portNumber = port;
    }
    void openPort() override {
        call("openPort", "");
        open = opens;
    }
    void closePort() override {
        call("closePort", "");
        open = false;
    }
    bool portIsOpen() const override {
        log_.push_back("scanner:portIsOpen?");
        return open;
    }
    void setUp(std::string_view setup) override { call("setUp", std::string(setup)); }
    void sendCommand(std::string_view command) override {
        call("sendCommand", std::string(command));
    }
    void recover() override { call("recover", ""); }
    void requirePortForCommands() const override {
        if (!open) {
            throw Failure("Port is not open");
        }
    }
    HeldInput heldInput() override { return held; }

    void raiseSheetRead(const std::string& response) { events()->onSheetRead(response); }
    void raiseNotice(const std::string& text) { events()->onNotice(text); }
    void raiseInitComplete(std::int16_t result, const std::string& diagnostic = "") {
        events()->onInitComplete(result, diagnostic);
    }
    void raiseScanFault() { events()->onScanFault("Paper jam"); }
    void raiseEndOfBatch() { events()->onEndOfBatch(); }

private:
    void call(const std::string& member, const std::string& argument) {
        log_.push_back("scanner:" + member + (argument.empty() ? "" : "(" + argument + ")"));
        if (const auto it = failing.find(member); it != failing.end()) {
            throw Failure(it->second);
        }
    }

    std::vector<std::string>& log_;
};

}  // namespace scanforms::testing
