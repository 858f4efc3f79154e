// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "station/scanner.h"

namespace scanforms::testing {

// One event as the component raised it, with what it carried.
struct Raised {
    std::string event;
    std::string text;
    std::int16_t result = 0;
};

// A sink that records every event and, when told, answers it as the station
// would. While `busy`, it stands for a station whose handler shows a box.
class RecordingEvents : public ScannerEvents {
public:
    explicit RecordingEvents(Scanner& scanner) : scanner_(scanner) { scanner_.setEvents(this); }
    ~RecordingEvents() override { scanner_.setEvents(nullptr); }
    RecordingEvents(const RecordingEvents&) = delete;
    RecordingEvents& operator=(const RecordingEvents&) = delete;

    std::vector<Raised> raised;
    bool busy = false;
    // Runs after each event is recorded.
    std::function<void(const Raised&)> react;

    std::size_t count(const std::string& event) const {
        return static_cast<std::size_t>(std::count_if(
            raised.begin(), raised.end(), [&](const Raised& r) { return r.event == event; }));
    }
    std::vector<std::string> texts(const std::string& event) const {
        std::vector<std::string> found;
        for (const Raised& r : raised) {
            if (r.event == event) {
                found.push_back(r.text);
            }
        }
        return found;
    }

    bool handlerRunning() const override { return busy; }
    void onSheetRead(std::string response) override { record("SheetRead", response); }
    void onEndOfBatch() override { record("EndOfBatch", ""); }
    void onInitComplete(std::int16_t result, std::string diagnostic) override {
        record("InitComplete", diagnostic, result);
    }
    void onNotice(std::string text) override { record("Notice", text); }
    void onScanFault(std::string reason) override { record("ScanFault", reason); }

private:
    void record(const std::string& event, const std::string& text, std::int16_t result = 0) {
        raised.push_back({event, text, result});
        if (react) {
            react(raised.back());
        }
    }

    Scanner& scanner_;
};

}  // namespace scanforms::testing
