// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "station/handler_gate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scanforms {
namespace {

TEST(HandlerGate, HandlerArrivingDuringAnotherRunsAfterItInOrder) {
    HandlerGate gate;
    std::vector<std::string> order;
    gate.run([&] {
        order.push_back("first begins");
        gate.run([&] { order.push_back("second"); });
        gate.run([&] {
            order.push_back("third begins");
            gate.run([&] { order.push_back("fourth"); });
            order.push_back("third ends");
        });
        order.push_back("first ends");
    });
    EXPECT_EQ(order, (std::vector<std::string>{"first begins", "first ends", "second",
                                               "third begins", "third ends", "fourth"}));
    EXPECT_FALSE(gate.busy());
}

TEST(HandlerGate, ClosedGateDropsWaitingAndNewHandlers) {
    HandlerGate gate;
    int runs = 0;
    gate.run([&] {
        gate.run([&] { ++runs; });
        gate.close();
    });
    gate.run([&] { ++runs; });
    EXPECT_EQ(runs, 0);
}

TEST(HandlerGate, EscapingExceptionLeavesGateUsable) {
    HandlerGate gate;
    EXPECT_THROW(gate.run([] { throw 1; }), int);
    int runs = 0;
    gate.run([&] { ++runs; });
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace scanforms
