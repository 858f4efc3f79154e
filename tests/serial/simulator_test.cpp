// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// scanner-sim as a program: its command line, output, log, pacing, hang-up
// and signals, driven through its pseudo-terminal by a plain host.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "sim_process.h"
#include "wire/wire_protocol.h"

namespace scanforms::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using wire::Frame;
using wire::FrameType;

constexpr auto kAnswerTimeout = 10s;
constexpr auto kPoll = 5ms;

// Polls `condition` until it holds or the deadline passes.
bool waitFor(const std::function<bool()>& condition, Clock::duration timeout = kAnswerTimeout) {
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
    return true;
}

// The program's side of the line, on a plain file descriptor.
class Host {
public:
    explicit Host(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) {
            throw std::runtime_error("cannot open " + path);
        }
    }
    ~Host() { ::close(fd_); }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    void send(const std::string& command) {
        const std::string line = wire::encodeCommand(command);
        ASSERT_EQ(::write(fd_, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }

    // The next `count` frames, or fewer when the deadline passed.
    std::vector<Frame> frames(std::size_t count, Clock::duration timeout = kAnswerTimeout) {
        const auto deadline = Clock::now() + timeout;
        while (frames_.size() < count && Clock::now() < deadline) {
            pollfd watched{fd_, POLLIN, 0};
            ::poll(&watched, 1, 50);
            char buffer[512];
            const ssize_t read = ::read(fd_, buffer, sizeof buffer);
            if (read > 0) {
                lastByte_ = Clock::now();
                for (auto& result : decoder_.feed({buffer, static_cast<std::size_t>(read)})) {
                    if (auto* frame = std::get_if<Frame>(&result)) {
                        frames_.push_back(*frame);
                    } else {
                        ADD_FAILURE()
                            << "bad frame: " << wire::describe(std::get<wire::FrameError>(result));
                    }
                }
            }
        }
        std::vector<Frame> taken(
            frames_.begin(), frames_.begin() + static_cast<long>(std::min(count, frames_.size())));
        frames_.erase(frames_.begin(), frames_.begin() + static_cast<long>(taken.size()));
        return taken;
    }
    Clock::time_point lastByte() const { return lastByte_; }

private:
    int fd_ = -1;
    wire::FrameDecoder decoder_;
    std::vector<Frame> frames_;
    Clock::time_point lastByte_{};
};

SimProcess::Setup script(const std::string& text, bool wireSpeed = false) {
    return {text, wireSpeed, {}, true};
}

TEST(Simulator, PrintsTheDevicePathFirstAndLinksIt) {
    SimProcess sim(script("SHEET one\n"));
    EXPECT_TRUE(sim.devicePath().starts_with("/dev/pts/")) << sim.devicePath();
    EXPECT_EQ(std::filesystem::read_symlink(sim.linkPath()), sim.devicePath());
}

TEST(Simulator, LogsEveryCommandExactlyAsReceived) {
    SimProcess sim(script(""));
    Host host(sim.linkPath());
    const std::vector<std::string> commands = {"f-3652.800", "READ",    "Read",
                                               "Read 20",    "RECOVER", "  odd \xe9 command "};
    for (const auto& command : commands) {
        host.send(command);
    }
    ASSERT_TRUE(waitFor([&] { return sim.logLines().size() == commands.size(); }));
    EXPECT_EQ(sim.logLines(), commands);
}

TEST(Simulator, AnswersTheScriptThroughTheLine) {
    SimProcess sim(script("NOTICE at once\nNOTDETECTED No lamp.\nSHEET one\nEND\n"));
    Host host(sim.linkPath());
    EXPECT_EQ(host.frames(1), (std::vector<Frame>{{FrameType::Notice, "at once", 0}}));
    host.send("f-3652.800");
    host.send("f-3652.800");
    host.send("READ");
    host.send("Read");  // a second read while one is outstanding adds none
    const std::vector<Frame> expected = {
        {FrameType::InitResult, "No lamp.", 0},
        {FrameType::InitResult, "", 1},
        {FrameType::Sheet, "one", 0},
    };
    EXPECT_EQ(host.frames(3), expected);
    host.send("Read");
    EXPECT_EQ(host.frames(1), (std::vector<Frame>{{FrameType::EndOfBatch, "", 0}}));
}

TEST(Simulator, KeepsServingWhenTheHostClosesAndReopens) {
    SimProcess sim(script("SHEET one\nSHEET two\n"));
    for (const char* sheet : {"one", "two"}) {
        Host host(sim.linkPath());
        host.send("READ");
        EXPECT_EQ(host.frames(1), (std::vector<Frame>{{FrameType::Sheet, sheet, 0}}));
    }
}

TEST(Simulator, PacesBytesAt9600Baud8N2OnlyWhenAskedTo) {
    const std::string sheet(226, '@');
    const double lineSeconds =
        static_cast<double>(wire::encodeFrame({FrameType::Sheet, sheet, 0}).size()) * 11.0 / 9600.0;
    for (const bool wireSpeed : {true, false}) {
        SimProcess sim(script("SHEET " + sheet + "\n", wireSpeed));
        Host host(sim.linkPath());
        const auto sent = Clock::now();
        host.send("READ");
        ASSERT_EQ(host.frames(1).size(), 1u);
        const double seconds = std::chrono::duration<double>(host.lastByte() - sent).count();
        std::cout << (wireSpeed ? "paced" : "unpaced") << " 226-byte sheet: " << seconds << " s\n";
        if (wireSpeed) {
            EXPECT_GE(seconds, lineSeconds * 0.95);
            EXPECT_LT(seconds, lineSeconds * 1.5);
        } else {
            EXPECT_LT(seconds, lineSeconds / 2);
        }
    }
}

TEST(Simulator, HangUpReplacesTheDeviceEndAndRepointsTheLink) {
    SimProcess sim(script("SHEET one\nHANGUP\nSHEET two\n"));
    {
        Host host(sim.linkPath());
        host.send("READ");
        EXPECT_EQ(host.frames(1).size(), 1u);
        host.send("Read");
        // Meanwhile the link leads nowhere: the freed terminal may be anyone's.
        ASSERT_TRUE(waitFor([&] { return !std::filesystem::is_symlink(sim.linkPath()); }));
        ASSERT_TRUE(waitFor([&] { return sim.paths().size() == 2; }));
    }
    const auto paths = sim.paths();
    EXPECT_NE(paths[1], paths[0]);
    EXPECT_FALSE(std::filesystem::exists(paths[0]));
    EXPECT_EQ(std::filesystem::read_symlink(sim.linkPath()), paths[1]);
    Host host(sim.linkPath());
    host.send("RECOVER");
    host.send("Read");
    EXPECT_EQ(host.frames(1), (std::vector<Frame>{{FrameType::Sheet, "two", 0}}));
}

class StopSignal : public ::testing::TestWithParam<int> {};

TEST_P(StopSignal, EndsCleanlyAndRemovesTheLink) {
    SimProcess sim(script("SHEET one\n"));
    ASSERT_TRUE(std::filesystem::is_symlink(sim.linkPath()));
    EXPECT_EQ(sim.stop(GetParam()), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(sim.linkPath()));
}

INSTANTIATE_TEST_SUITE_P(TermAndInt, StopSignal, ::testing::Values(SIGTERM, SIGINT));

struct BadStart {
    const char* name;
    std::vector<std::string> arguments;
    std::string script;
    int status;
    std::string message;
};

void PrintTo(const BadStart& start, std::ostream* out) {
    *out << start.name;
}

class BadStartTest : public ::testing::TestWithParam<BadStart> {};

TEST_P(BadStartTest, ExitsWithAClearMessage) {
    SimProcess sim({GetParam().script, false, GetParam().arguments, false});
    EXPECT_EQ(sim.waitForExit(), GetParam().status);
    EXPECT_NE(sim.errors().find(GetParam().message), std::string::npos) << sim.errors();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadStartTest,
    ::testing::Values(
        BadStart{"UnknownItem", {}, "SHEET a\nJAM\n", 1, "line 2: unknown item \"JAM\""},
        BadStart{"UnknownOption", {"--fast"}, "", 2, "unknown option --fast"},
        BadStart{"TwoScripts", {"other.txt"}, "", 2, "only one script"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace scanforms::testing
