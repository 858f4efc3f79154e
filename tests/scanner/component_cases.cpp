// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "component_cases.h"

#include <gtest/gtest.h>

#include <optional>

#include "common/failure.h"

namespace scanforms::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The slowest case waits five seconds for its first event; a lost device
// comes back a second after it went.
constexpr auto kEventDeadline = 15s;

const std::vector<std::string> kSetupOnly = {"f-3652.800"};
const std::vector<std::string> kFaultThenSheet = {"READ", "RECOVER", "Read", "Read"};

std::string expectedText(std::string text, const std::string& port) {
    if (const auto at = text.find("{port}"); at != std::string::npos) {
        text.replace(at, 6, port);
    }
    return text;
}

bool textMatches(const std::string& expected, const std::string& actual) {
    if (expected.ends_with('*')) {
        return actual.starts_with(expected.substr(0, expected.size() - 1));
    }
    return actual == expected;
}

}  // namespace

// One case a few lines.
// clang-format off
const std::vector<ComponentCase> kComponentCases = {
    {"SetupAnswered", "", 0, CaseDrive::SetUp,
     {{"InitComplete", "", 1}}, 0, 1000, kSetupOnly},
    // A scanner slow to wake is still found within the default wait.
    {"SetupAnsweredAfterFiveSeconds", "SETUPLATE 5000\n", 0, CaseDrive::SetUp,
     {{"InitComplete", "", 1}}, 5000, 6500, kSetupOnly},
    {"SetupMissingIsNotDetectedAfterTheWait", "SILENT\n", 2, CaseDrive::SetUp,
     {{"InitComplete", "No answer from the scanner on {port}. *", 0}}, 1950, 2600, kSetupOnly},
    // Bytes that make no frame, or a frame that answers no setup string:
    // not detected at once, no fault, nothing more sent.
    {"SetupGarbledIsNotDetectedAtOnce", "SETUPRAW \\x02Q3:abc\\x03junk\n", 0, CaseDrive::SetUp,
     {{"InitComplete", "Garbled answer from the scanner on {port}. ", 0}}, 0, 1000, kSetupOnly},
    {"SetupAnsweredByASheetIsNotDetectedAtOnce", "SETUPRAW \\x02S3:abc\\x03\n", 0, CaseDrive::SetUp,
     {{"InitComplete", "Garbled answer from the scanner on {port}. ", 0}}, 0, 1000, kSetupOnly},
    // The notice goes as soon as the sheet before it; the empty sheet ends
    // the loop.
    {"SheetsAndNoticeInOrder",
     "SHEET first\nSHEET \\x00\\x03\\xff\nNOTICE Hopper low\nEMPTY\n", 0, CaseDrive::Read,
     {{"SheetRead", "first"}, {"SheetRead", std::string("\0\x03\xff", 3)},
      {"Notice", "Hopper low"}, {"SheetRead", ""}}, 0, 1000, {"READ", "Read", "Read"}},
    {"ScannerFaultIsRaisedAndRecovered", "FAULT Paper jam\nSHEET after\n", 0, CaseDrive::Read,
     {{"ScanFault", "Paper jam"}, {"SheetRead", "after"}}, 0, 1000, kFaultThenSheet},
    // Timed from the frame's first byte, which follows READ at once.
    {"FrameStoppingHalfWayIsOneFaultAfterThreeSeconds", "RAW \\x02S9:abc\nSHEET after\n", 0,
     CaseDrive::Read,
     {{"ScanFault", "Scanner stopped in the middle of a frame"}, {"SheetRead", "after"}},
     2900, 3500, kFaultThenSheet},
    // Lost once; Recover reopens it once the device is back.
    {"DeviceGoneIsOneFaultAndRecoverReopensIt", "SHEET one\nHANGUP\nSHEET two\n", 0,
     CaseDrive::Read,
     {{"SheetRead", "one"}, {"ScanFault", "Scanner is not connected"}, {"SheetRead", "two"}},
     0, 1000, {"READ", "Read", "RECOVER", "Read", "Read"}},
    {"DeviceGoneWhileQuietIsOneFault", "", 0, CaseDrive::DeviceEnds,
     {{"ScanFault", "Scanner is not connected"}}, 0, 1500, {}},
};
// clang-format on

std::string settingsFileText(const ComponentCase& row) {
    if (row.setupWaitSeconds == 0) {
        return {};
    }
    return "[scanner]\nSetupAnswerTimeout=" + std::to_string(row.setupWaitSeconds) + "\n";
}

void runComponentCase(const ComponentCase& row, scanner::ScannerComponent& component,
                      RecordingEvents& events, const CaseSite& site) {
    bool recoverOwed = false;
    std::optional<Clock::duration> firstEvent;
    const auto start = Clock::now();
    events.react = [&](const Raised& raised) {
        if (!firstEvent) {
            firstEvent = Clock::now() - start;
        }
        if (raised.event == "SheetRead" && !raised.text.empty()) {
            component.sendCommand("Read");
        } else if (raised.event == "ScanFault" && row.drive == CaseDrive::Read) {
            recoverOwed = true;
        }
    };
    switch (row.drive) {
        case CaseDrive::SetUp:
            component.setUp("f-3652.800");
            break;
        case CaseDrive::Read:
            component.sendCommand("READ");
            break;
        case CaseDrive::DeviceEnds:
            site.endDevice();
            break;
    }
    while (events.raised.size() < row.events.size()) {
        ASSERT_TRUE(
            site.waitFor([&] { return recoverOwed || events.raised.size() >= row.events.size(); },
                         kEventDeadline))
            << events.raised.size() << " events";
        if (recoverOwed) {
            recoverOwed = false;
            // Outside the handler, as the window's Recover button is.
            ASSERT_TRUE(site.waitFor(
                [&] {
                    try {
                        component.recover();
                        return true;
                    } catch (const Failure&) {
                        return false;
                    }
                },
                kEventDeadline))
                << "the device did not come back";
            component.sendCommand("Read");
        }
    }
    ASSERT_TRUE(site.waitFor([&] { return site.commandLog().size() >= row.commands.size(); }, 10s));
    EXPECT_EQ(site.commandLog(), row.commands);
    ASSERT_EQ(events.raised.size(), row.events.size());
    const std::string port =
        "Com" + std::to_string(kComponentPort) + " (" + component.deviceName() + ")";
    for (std::size_t i = 0; i < row.events.size(); ++i) {
        const Raised& want = row.events[i];
        const Raised& got = events.raised[i];
        EXPECT_EQ(got.event, want.event) << i;
        EXPECT_EQ(got.result, want.result) << i;
        EXPECT_TRUE(textMatches(expectedText(want.text, port), got.text)) << i << ": " << got.text;
    }
    ASSERT_TRUE(firstEvent);
    EXPECT_GE(*firstEvent, std::chrono::milliseconds(row.firstEventFromMs));
    EXPECT_LE(*firstEvent, std::chrono::milliseconds(row.firstEventToMs));
}

}  // namespace scanforms::testing
