#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scanner/ccomm.h"

namespace scanforms::testing {

// One event as the component raised it, with ResponseText read at that
// moment.
struct Raised {
    std::string event;
    std::string text;
    std::int16_t result = 0;
};

// A CCommEvents sink that records every event and, when told, answers it as
// the window would.
class RecordingEvents : public CCommEvents {
public:
    explicit RecordingEvents(CComm& comm) : comm_(comm) { comm_.setEvents(this); }
    ~RecordingEvents() override { comm_.setEvents(nullptr); }
    RecordingEvents(const RecordingEvents&) = delete;
    RecordingEvents& operator=(const RecordingEvents&) = delete;

    std::vector<Raised> raised;
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

    void SheetRead() override { record("SheetRead"); }
    void EndOfBatch() override { record("EndOfBatch"); }
    void InitComplete(std::int16_t result) override { record("InitComplete", result); }
    void Notice() override { record("Notice"); }
    void ScanFault() override { record("ScanFault"); }

private:
    void record(const std::string& event, std::int16_t result = 0) {
        raised.push_back({event, comm_.ResponseText(), result});
        if (react) {
            react(raised.back());
        }
    }

    CComm& comm_;
};

}  // namespace scanforms::testing
