// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// One station as an operator runs it: the serial component on Com1, the real
// Scan window (offscreen in the tests and benchmarks) and a stand-in operator
// who clicks its buttons, waits for what it shows and answers every message
// box. Com1 leads to scanner-sim playing a script on a pseudo-terminal, or to
// a scanner the caller plays itself on a device of its own.
//
//   script --> scanner-sim --pty--> SerialComm <--> ScanWindow <--> operator
//                                                   (clicks, waits, box answers)
//
// The current directory must already be the station's folder; Com.TXT
// holding 1 is written there.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "box_answerer.h"
#include "serial/qt_platform.h"
#include "sim_process.h"
#include "station/operator_texts.h"
#include "wait_for.h"
#include "window/scan_window.h"

namespace scanforms::testing {

using window::ScanWindow;

inline constexpr std::chrono::seconds kBatchDeadline{90};

// A scanner the caller plays itself, on this device.
struct ScannerDevice {
    std::string path;
};

// How fast scanner-sim sends: as fast as the pseudo-terminal takes it, or
// at the 9600 baud of the real line (a sheet in about 0.27 s).
enum class LinePace { Unthrottled, WireSpeed };

class StationRun {
public:
    // scanner-sim plays `script`.
    explicit StationRun(std::string script, LinePace pace = LinePace::Unthrottled);
    explicit StationRun(const ScannerDevice& scanner);
    ~StationRun();
    StationRun(const StationRun&) = delete;
    StationRun& operator=(const StationRun&) = delete;

    // Clicks Initialize Scanner and waits until the scanner answered ready;
    // when it did not, reports a problem and returns false.
    bool initialize();
    void startScanning();
    void done();
    // Waits until `count` boxes with this text have been shown in all.
    bool waitForBoxes(const std::string& text, std::size_t count = 1,
                      std::chrono::milliseconds deadline = kBatchDeadline);

    std::vector<std::string> boxTexts() const;
    std::size_t boxCount(const std::string& text) const;
    bool ended() const { return ended_; }

    // The simulator; a station on a ScannerDevice has none.
    SimProcess& sim() { return *sim_; }
    serial::SerialComm& comm() { return *comm_; }
    ScanWindow& window() { return *window_; }
    BoxAnswerer& boxes() { return boxes_; }

private:
    void open(const std::string& device);
    void click(const char* name);

    BoxAnswerer boxes_;
    std::unique_ptr<SimProcess> sim_;
    std::unique_ptr<serial::SerialComm> comm_;
    std::unique_ptr<ScanWindow> window_;
    bool ended_ = false;
};

// Qt's offscreen platform unless the environment names one; call it before
// the QApplication is made.
void preferOffscreenPlatform();

}  // namespace scanforms::testing
