#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/fake_comm.h"
#include "fakes/fake_view.h"
#include "fakes/temp_dir.h"
#include "window/scan.h"

namespace scanforms::testing {

// A Scan window over a recording view and a scripted component, both
// writing to one log.
struct RecordedScan {
    std::vector<std::string> log;
    FakeView view{log};
    FakeComm comm{log};
    Scan scan{view, comm};
};

// A Scan window over a recording view and a scripted component, in a fresh
// current directory.
class ScanFixture : public ::testing::Test {
protected:
    TempDir dir;
    std::vector<std::string> log;
    FakeView view{log};
    FakeComm comm{log};
    Scan scan{view, comm};

    // The log entries that start with `prefix`.
    std::vector<std::string> entries(const std::string& prefix) const {
        std::vector<std::string> found;
        std::copy_if(log.begin(), log.end(), std::back_inserter(found),
                     [&](const std::string& entry) { return entry.rfind(prefix, 0) == 0; });
        return found;
    }
    std::vector<std::string> commands() const { return entries("comm:SendCommand"); }
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
