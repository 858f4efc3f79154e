// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/fake_scanner.h"
#include "fakes/fake_view.h"
#include "fakes/temp_dir.h"
#include "station/station.h"

namespace scanforms::testing {

// A station over a recording view and a scripted scanner, both writing to
// one log. The operator's steps are the clicks a person would make.
struct RecordedStation {
    std::vector<std::string> log;
    FakeView view{log};
    FakeScanner scanner{log};
    Station station{view, scanner};

    // Clicks the port button `index` ("Com1" is 0).
    void choosePort(int index) {
        view.selectPort(index);
        station.onPortClicked(index);
    }
    // Initialize Scanner on a port that opens: the station is ready.
    void makeReady() {
        scanner.opens = true;
        station.onInitializeClicked();
    }
    // How far initialization got, as an operator and a scanner leave it.
    enum class Readiness { Fresh, Ready, NotDetected };
    void reach(Readiness readiness) {
        if (readiness != Readiness::Fresh) {
            makeReady();
        }
        if (readiness == Readiness::NotDetected) {
            scanner.raiseInitComplete(0);
        }
    }
    // A ready station that started a batch; the log is cleared.
    void startRun() {
        makeReady();
        station.onStartScanningClicked();
        log.clear();
    }
    // The log entries that start with `prefix`.
    std::vector<std::string> entries(const std::string& prefix) const {
        std::vector<std::string> found;
        std::copy_if(log.begin(), log.end(), std::back_inserter(found),
                     [&](const std::string& entry) { return entry.rfind(prefix, 0) == 0; });
        return found;
    }
    std::vector<std::string> commands() const { return entries("scanner:sendCommand"); }
};

// A recorded station in a fresh current directory.
class StationFixture : public ::testing::Test, public RecordedStation {
protected:
    TempDir dir;
};

// A 226-byte response with the given identifier and mark codes (the rest of
// the 200 answers unmarked).
inline std::string sheet(const std::string& id, const std::string& codes = "") {
    std::string answers = codes;
    answers.resize(200, '@');
    return "0123456789" + id + "XYZ" + "1234567" + answers;
}

// The record line a clean sheet gives.
inline std::string record(const std::string& id, const std::string& answers = "") {
    std::string field = answers;
    field.resize(200, ' ');
    return "\"" + id + "\",\"" + field + "\"\r\n";
}

}  // namespace scanforms::testing
