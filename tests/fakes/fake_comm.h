#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/failure.h"
#include "scanner/ccomm.h"

namespace scanforms::testing {

// A scripted scanner component: records every call in `log` (shared with the
// fake view, so the order of effects across both can be checked) and raises
// events when the test asks.
class FakeComm : public CComm {
public:
    explicit FakeComm(std::vector<std::string>& log) : log_(log) {}

    // Whether PortOpen(true) succeeds.
    bool opens = true;
    // Members that raise a Failure with the given description when called,
    // by the name they are logged under ("PortNumber", "SendCommand", ...).
    std::map<std::string, std::string> failing;
    std::string response;
    bool open = false;

    void PortNumber(std::int16_t port) override {
        call("PortNumber", std::to_string(port));
        portNumber = port;
    }
    void PortOpen(bool value) override {
        call("PortOpen", value ? "True" : "False");
        open = value && opens;
    }
    bool PortOpen() const override {
        log_.push_back("comm:PortOpen?");
        return open;
    }
    std::string ResponseText() const override { return response; }
    void Recover() override { call("Recover", ""); }
    void SetupScanner(std::string_view setup) override { call("SetupScanner", std::string(setup)); }
    void SendCommand(std::string_view command) override {
        call("SendCommand", std::string(command));
    }

    // Raising events, with the text of the event in ResponseText.
    void raiseSheetRead(const std::string& text) {
        response = text;
        events()->SheetRead();
    }
    void raiseNotice(const std::string& text) {
        response = text;
        events()->Notice();
    }
    void raiseInitComplete(std::int16_t result, const std::string& text = "") {
        response = text;
        events()->InitComplete(result);
    }
    void raiseScanFault() { events()->ScanFault(); }
    void raiseEndOfBatch() { events()->EndOfBatch(); }

    std::int16_t portNumber = -1;

private:
    void call(const std::string& member, const std::string& argument) {
        log_.push_back("comm:" + member + (argument.empty() ? "" : "(" + argument + ")"));
        if (const auto it = failing.find(member); it != failing.end()) {
            throw Failure(it->second);
        }
    }

    std::vector<std::string>& log_;
};

}  // namespace scanforms::testing
