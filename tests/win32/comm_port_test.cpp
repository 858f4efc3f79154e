// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The Windows serial port against scanner-sim on a pseudo-terminal that Wine
// maps to a COM port, through the platform interface alone.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <vector>

#include "win32/comm_port.h"
#include "win32/win32_platform.h"
#include "win32/win32_text.h"
#include "win32_wait.h"
#include "wine_sim.h"
#include "wire/wire_protocol.h"

namespace scanforms::win32 {
namespace {

using testing::pumpUntil;
using testing::WineSim;
using namespace std::chrono_literals;

// What the link tells, read as the component would; an event inside a call
// the test made into the link fails the test.
struct Recorder : scanner::LinkEvents {
    scanner::DeviceLink* link = nullptr;
    bool inCall = false;
    std::string received;
    int lost = 0;
    std::string lostWhy;

    void onInput() override {
        EXPECT_FALSE(inCall);
        received += link->read();
    }
    void onLost(std::string why) override {
        EXPECT_FALSE(inCall);
        ++lost;
        lostWhy = why;
    }
};

class CommPortTest : public ::testing::Test {
protected:
    CommPortTest() : platform(TempLog()), link(platform.makeLink(events)) { events.link = link.get(); }

    static std::string TempLog() {
        return environmentVariable("TEMP") + "\\scanforms-test\\scanforms.log";
    }

    std::string open() {
        events.inCall = true;
        std::string why = link->open(WineSim::port());
        events.inCall = false;
        return why;
    }
    void send(const std::string& command) {
        events.inCall = true;
        ASSERT_TRUE(link->write(wire::encodeCommand(command))) << command;
        events.inCall = false;
    }
    std::vector<wire::Frame> frames() {
        wire::FrameDecoder decoder;
        std::vector<wire::Frame> decoded;
        for (const auto& result : decoder.feed(events.received)) {
            decoded.push_back(std::get<wire::Frame>(result));
        }
        return decoded;
    }
    // Each command once the frames before it came.
    void exchange(const std::vector<std::string>& commands) {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            send(commands[i]);
            ASSERT_TRUE(pumpUntil([&] { return frames().size() > i; }, 10s)) << commands[i];
        }
    }

    Win32Platform platform;
    Recorder events;
    std::unique_ptr<scanner::DeviceLink> link;
};

struct ExchangeCase {
    const char* name;
    const char* script;
    std::vector<std::string> commands;
    std::vector<wire::Frame> frames;
};

class Exchange : public CommPortTest, public ::testing::WithParamInterface<ExchangeCase> {};

TEST_P(Exchange, CommandsWrittenAndFramesReadInOrder) {
    WineSim sim(GetParam().script);
    ASSERT_EQ(open(), "");
    exchange(GetParam().commands);
    EXPECT_EQ(frames(), GetParam().frames);
    EXPECT_EQ(events.lost, 0) << events.lostWhy;
}

using wire::FrameType;
INSTANTIATE_TEST_SUITE_P(
    Sim, Exchange,
    ::testing::Values(
        ExchangeCase{"SetupAnsweredOnALineOf9600n82",
                     "LINESETTINGS\n",
                     {"SETUP 1", "READ"},
                     {{FrameType::InitResult, "", 1}, {FrameType::Notice, "9600,n,8,2"}}},
        ExchangeCase{"SheetsInOrder",
                     "SHEET first\nSHEET second\nSHEET \\x00\\x03\\xFF\n",
                     {"SETUP 1", "READ", "READ", "READ"},
                     {{FrameType::InitResult, "", 1},
                      {FrameType::Sheet, "first"},
                      {FrameType::Sheet, "second"},
                      {FrameType::Sheet, std::string("\0\x03\xFF", 3)}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CommPortTest, FrameThatStopsHalfWayArrivesAsFarAsItWent) {
    WineSim sim("RAW \\x02S9:abc\n");
    ASSERT_EQ(open(), "");
    exchange({"SETUP 1"});
    send("READ");
    ASSERT_TRUE(pumpUntil([&] { return events.received.ends_with("\x02S9:abc"); }, 10s))
        << events.received;
    EXPECT_TRUE(link->isOpen());
    EXPECT_EQ(events.lost, 0) << events.lostWhy;
}

struct GoneCase {
    const char* name;
    bool simulatorEnds;  // else the device hangs up by itself, then comes back
};

class DeviceGone : public CommPortTest, public ::testing::WithParamInterface<GoneCase> {};

TEST_P(DeviceGone, IsToldOnceAndOpensAgainWhenBack) {
    WineSim sim("SHEET only\nHANGUP\nSHEET after\n");
    ASSERT_EQ(open(), "");
    exchange({"SETUP 1", "READ"});
    if (GetParam().simulatorEnds) {
        sim.stop();
    } else {
        send("READ");
    }
    ASSERT_TRUE(pumpUntil([&] { return events.lost > 0; }, 10s));
    // A write to the lost device, and work posted after it: once that work
    // ran, all the link told has been told.
    EXPECT_FALSE(link->write("READ\r"));
    bool drained = false;
    platform.post([&] { drained = true; });
    ASSERT_TRUE(pumpUntil([&] { return drained; }, 10s));
    EXPECT_EQ(events.lost, 1) << events.lostWhy;
    EXPECT_NE(events.lostWhy.find(WineSim::port()), std::string::npos) << events.lostWhy;
    link->close();
    if (!GetParam().simulatorEnds) {
        events.received.clear();
        ASSERT_TRUE(pumpUntil([&] { return WineSim::deviceThere() && open().empty(); }, 10s));
        exchange({"READ"});
        EXPECT_EQ(frames().back(), (wire::Frame{FrameType::Sheet, "after"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Sim, DeviceGone,
                         ::testing::Values(GoneCase{"DeviceHangsUp", false},
                                           GoneCase{"SimulatorEnds", true}),
                         [](const auto& row) { return std::string(row.param.name); });

// Windows refuses a second open of a COM port with ERROR_ACCESS_DENIED; Wine
// opens it again, so the held port's words are checked from the code alone.
TEST_F(CommPortTest, OpenFailuresSayWhyInTheSystemsWords) {
    EXPECT_EQ(link->open("COM99"), "COM99: " + systemMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(link->isOpen());
    const std::string held = describeOpenFailure("COM12", ERROR_ACCESS_DENIED);
    EXPECT_EQ(held, "COM12 is in use by another program (" + systemMessage(ERROR_ACCESS_DENIED) +
                        "); close that program, then try again");
    EXPECT_EQ(held.find("group"), std::string::npos);
}

TEST_F(CommPortTest, MappedPortIsAmongTheSystemsSerialPorts) {
    const std::string names = platform.deviceNames();
    EXPECT_NE(names.find(WineSim::port()), std::string::npos) << names;
    EXPECT_EQ(platform.otherDevicesHint("\\\\.\\COM99"),
              "Serial devices here: " + names + "; right-click a port button to use one. ");
}

}  // namespace
}  // namespace scanforms::win32
