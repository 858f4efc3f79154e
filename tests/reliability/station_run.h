#pragma once

// One station as an operator runs it, inside the test: scanner-sim playing a
// script on a pseudo-terminal, the serial component on Com1 pointed at it,
// the real Scan window on the offscreen platform, and a stand-in operator
// answering every message box. The current directory must already be the
// station's folder; Com.TXT holding 1 is written there.

#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "box_answerer.h"
#include "serial/serial_comm.h"
#include "sim_process.h"
#include "station/operator_texts.h"
#include "window/scan_window.h"

namespace scanforms::testing {

using window::ScanWindow;

inline constexpr std::chrono::seconds kStepDeadline{10};
inline constexpr std::chrono::seconds kBatchDeadline{90};

class StationRun {
public:
    explicit StationRun(const std::string& script);
    ~StationRun();
    StationRun(const StationRun&) = delete;
    StationRun& operator=(const StationRun&) = delete;

    // Initialize Scanner, then waits until the scanner answered ready.
    void initialize();
    void startScanning();
    void done();
    // Waits until `count` boxes with this text have been shown in all.
    bool waitForBoxes(const std::string& text, std::size_t count = 1,
                      std::chrono::milliseconds deadline = kBatchDeadline);
    // Waits for a condition, running the event loop meanwhile.
    static bool waitFor(const std::function<bool()>& condition,
                        std::chrono::milliseconds deadline = kStepDeadline);

    std::vector<std::string> boxTexts() const;
    std::size_t boxCount(const std::string& text) const;
    bool ended() const { return ended_; }

    SimProcess& sim() { return *sim_; }
    serial::SerialComm& comm() { return *comm_; }
    ScanWindow& window() { return *window_; }
    BoxAnswerer& boxes() { return boxes_; }

private:
    void click(const char* name);

    BoxAnswerer boxes_;
    std::unique_ptr<SimProcess> sim_;
    std::unique_ptr<serial::SerialComm> comm_;
    std::unique_ptr<ScanWindow> window_;
    bool ended_ = false;
};

}  // namespace scanforms::testing
