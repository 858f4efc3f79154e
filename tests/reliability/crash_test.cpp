// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The program killed (SIGKILL) at random points of a batch: every sheet the
// scanner was asked past (the next "Read" is in its command log) is in
// Scan.TXT, in order; at most the one sheet being handled at the kill is
// there beyond them; and Scan.TXT holds only whole 213-byte records.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "driver_process.h"
#include "fakes/temp_dir.h"
#include "sheet_batch.h"
#include "sim_process.h"
#include "wait_for.h"

namespace scanforms::testing {
namespace {

constexpr int kSheets = 300;
constexpr int kKillPoints = 20;
constexpr std::chrono::seconds kReachDeadline{60};
constexpr std::chrono::milliseconds kLogPoll{1};

bool waitForLogLines(SimProcess& sim, std::size_t lines, DriverProcess& driver) {
    const auto reached = [&] { return sim.logLines().size() >= lines; };
    waitFor([&] { return reached() || !driver.running(); }, kReachDeadline, kLogPoll);
    return reached();
}

TEST(Crash, KilledMidBatchKeepsEveryAnsweredSheetWhole) {
    const std::uint32_t seed = chooseSeed("SCANFORMS_CRASH_SEED");
    std::cout << "crash test seed " << seed << " (SCANFORMS_CRASH_SEED=" << seed
              << " repeats this run)" << std::endl;
    RecordProperty("seed", std::to_string(seed));
    std::mt19937 random(seed);
    // Log line 1 is the setup string, line 2 "READ", line 2 + k the k-th
    // "Read": kill anywhere from the first sheet to the last.
    std::uniform_int_distribution<std::size_t> killAt(2, kSheets + 1);

    const std::vector<Sheet> sheets = cleanSheets(1, kSheets);
    const std::string script = sheetItems(sheets);

    int inHand = 0;  // kills that came after a record was written, before its Read
    for (int point = 0; point < kKillPoints; ++point) {
        const std::size_t target = killAt(random);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", kill point " + std::to_string(point) +
                     ", killed once the log had " + std::to_string(target) + " lines");
        TempDir station;
        SimProcess::Setup setup;
        setup.script = script;
        SimProcess sim(setup);
        {
            DriverProcess driver(sim.linkPath());
            const bool reached = waitForLogLines(sim, target, driver);
            driver.kill();
            ASSERT_TRUE(reached) << "the station did not get that far; it said:\n"
                                 << driver.output();
        }

        const std::vector<std::string> log = settledLog(sim);
        ASSERT_GE(log.size(), 2u);
        EXPECT_EQ(log[0], "f-3652.800");
        EXPECT_EQ(log[1], "READ");
        const auto asked = static_cast<std::size_t>(std::count(log.begin() + 2, log.end(), "Read"));
        EXPECT_EQ(asked, log.size() - 2) << "only reads follow the start of the batch";

        const std::string scanFile = station.read("Scan.TXT");
        const std::vector<std::string> lines = recordLines(scanFile);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(lines[i].size(), kRecordBytes) << "line " << i + 1 << " is torn";
            ASSERT_LT(i, sheets.size());
            ASSERT_EQ(lines[i], sheets[i].record) << "line " << i + 1;
        }
        EXPECT_GE(lines.size(), asked) << "a sheet answered by a Read is missing";
        EXPECT_LE(lines.size(), asked + 1) << "more than the one sheet in hand was recorded";
        inHand += lines.size() == asked + 1 ? 1 : 0;
        std::cout << "kill " << point << ": " << asked << " sheets answered, " << lines.size()
                  << " records" << std::endl;
    }
    std::cout << inHand << " of " << kKillPoints
              << " kills found the sheet in hand already recorded" << std::endl;
}

// Killed while Start Scanning keeps the last batch and empties Scan.TXT, or
// while Done replaces the port and flag files: the last batch is whole in
// Scan.TXT or in the archive, never in neither, and each small file is the
// old one or the new one, never empty.
TEST(Crash, KilledWhileABatchStartsOrEndsLeavesEveryFileWhole) {
    const std::vector<Sheet> lastBatch = cleanSheets(101, 5);
    const std::vector<Sheet> sheets = cleanSheets(1, 3);
    const std::string script = sheetItems(sheets) + "END\n";
    struct KillPoint {
        const char* when;
        std::function<bool(const TempDir&, const std::string& said)> reached;
    };
    const KillPoint points[] = {
        {"the archive folder exists",
         [](const TempDir& d, const std::string&) { return d.exists("ScanArchive"); }},
        {"Scan.TXT was emptied",
         [](const TempDir& d, const std::string&) { return d.read("Scan.TXT").empty(); }},
        {"the Done box shows",
         [](const TempDir&, const std::string& said) {
             return said.find("box: Press the END button") != std::string::npos;
         }},
        {"a replacement is being written",
         [](const TempDir& d, const std::string&) {
             return d.exists("com.TXT.new") || d.exists("Com.TXT.new") ||
                    d.exists("FormsFlag.TXT.new");
         }},
        {"the flag file is new",
         [](const TempDir& d, const std::string&) { return d.read("FormsFlag.TXT") == "1\r\n"; }},
    };
    for (const KillPoint& point : points) {
        for (int run = 0; run < 3; ++run) {
            SCOPED_TRACE(std::string("killed once ") + point.when + ", run " + std::to_string(run));
            TempDir station;
            station.write("Scan.TXT", recordsOf(lastBatch));
            station.write("FormsFlag.TXT", "7\r\n");
            SimProcess sim(SimProcess::Setup{script, false, {}, true});
            {
                DriverProcess driver(sim.linkPath());
                waitFor(
                    [&] { return point.reached(station, driver.output()) || !driver.running(); },
                    kReachDeadline, kLogPoll);
                driver.kill();
            }
            std::vector<std::string> keptWhole{station.read("Scan.TXT")};
            if (station.exists("ScanArchive")) {
                for (const auto& kept :
                     std::filesystem::directory_iterator(station.path() / "ScanArchive")) {
                    keptWhole.push_back(readFileBytes(kept.path()));
                }
            }
            EXPECT_NE(std::find(keptWhole.begin(), keptWhole.end(), recordsOf(lastBatch)),
                      keptWhole.end())
                << "the last batch is lost";
            for (const std::string& line : recordLines(station.read("Scan.TXT"))) {
                EXPECT_EQ(line.size(), kRecordBytes) << "a torn record";
            }
            EXPECT_EQ(station.read("Com.TXT"), "1\r\n");
            const std::string flag = station.read("FormsFlag.TXT");
            EXPECT_TRUE(flag == "7\r\n" || flag == "1\r\n") << "FormsFlag.TXT holds " << flag;
        }
    }
}

}  // namespace
}  // namespace scanforms::testing
