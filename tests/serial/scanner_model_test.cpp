// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "scanner_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wire/wire_protocol.h"

namespace scanner_sim {
namespace {

using Action = ScannerModel::Action;
using scanforms::wire::encodeFrame;
using scanforms::wire::FrameType;

// Plays whatever can happen now; returns the bytes sent, "<settings>" and
// "<hangup>" standing for those steps.
std::string play(ScannerModel& model) {
    std::string sent;
    for (auto step = model.next(); step.action != Action::Wait; step = model.next()) {
        sent += step.action == Action::Send           ? step.bytes
                : step.action == Action::LineSettings ? "<settings>"
                                                      : "<hangup>";
        model.taken();
    }
    return sent;
}

TEST(ScannerModel, AnswersEachReadWithTheNextItemAndWaitsOtherwise) {
    ScannerModel model(parseScript("SHEET one\nEMPTY\nFAULT\nEND\n"));
    EXPECT_EQ(play(model), "");
    const std::vector<std::string> answers = {
        encodeFrame({FrameType::Sheet, "one", 0}),
        encodeFrame({FrameType::Sheet, "", 0}),
        encodeFrame({FrameType::Fault, "", 0}),
        encodeFrame({FrameType::EndOfBatch, "", 0}),
    };
    for (const auto& answer : answers) {
        EXPECT_EQ(model.onCommand("Read"), "");
        EXPECT_EQ(play(model), answer);
        EXPECT_EQ(play(model), "") << "one answer per read";
    }
    EXPECT_TRUE(model.finished());
    model.onCommand("Read");
    EXPECT_EQ(play(model), "") << "an empty hopper keeps the read outstanding";
    EXPECT_TRUE(model.readOutstanding());
}

TEST(ScannerModel, SendsANoticeAtOnceAfterTheItemBefore) {
    ScannerModel model(parseScript("NOTICE first\nSHEET one\nNOTICE second\n"));
    EXPECT_EQ(play(model), encodeFrame({FrameType::Notice, "first", 0}));
    model.onCommand("READ");
    EXPECT_EQ(play(model), encodeFrame({FrameType::Sheet, "one", 0}) +
                               encodeFrame({FrameType::Notice, "second", 0}));
}

TEST(ScannerModel, AnswersSetupReadyAtOnceUnlessTheCurrentItemAnswersItOtherwise) {
    ScannerModel model(
        parseScript("NOTDETECTED No lamp.\nSILENT\nSETUPLATE 5000\nSETUPRAW junk\nSHEET one\n"));
    model.onCommand("Read");
    EXPECT_EQ(play(model), "") << "the sheet waits behind NOTDETECTED";
    EXPECT_EQ(model.onCommand("f-3652.800"), encodeFrame({FrameType::InitResult, "No lamp.", 0}));
    EXPECT_EQ(play(model), "") << "the sheet waits behind SILENT";
    EXPECT_EQ(model.onCommand("f-3652.800"), "") << "no answer at all";
    EXPECT_EQ(play(model), "") << "the sheet waits behind SETUPLATE";
    EXPECT_EQ(model.onCommand("f-3652.800"), encodeFrame({FrameType::InitResult, "", 1}));
    EXPECT_EQ(model.answerDelay(), std::chrono::milliseconds(5000));
    EXPECT_EQ(model.onCommand("f-3652.800"), "junk");
    EXPECT_EQ(model.answerDelay(), std::chrono::milliseconds(0));
    EXPECT_EQ(play(model), encodeFrame({FrameType::Sheet, "one", 0}));
    EXPECT_EQ(model.onCommand("f-3652.800"), encodeFrame({FrameType::InitResult, "", 1}));
}

TEST(ScannerModel, RecoverDropsTheOutstandingRead) {
    ScannerModel model(parseScript("SHEET one\n"));
    model.onCommand("Read 20");
    EXPECT_TRUE(model.readOutstanding());
    model.onCommand("RECOVER");
    EXPECT_FALSE(model.readOutstanding());
    EXPECT_EQ(play(model), "");
}

TEST(ScannerModel, LineSettingsAndHangUpWaitForARead) {
    ScannerModel model(parseScript("LINESETTINGS\nHANGUP\nSHEET after\n"));
    EXPECT_EQ(play(model), "");
    model.onCommand("READ");
    EXPECT_EQ(play(model), "<settings><hangup>");
    EXPECT_FALSE(model.readOutstanding()) << "the read went with the device";
    model.onCommand("Read");
    EXPECT_EQ(play(model), encodeFrame({FrameType::Sheet, "after", 0}));
}

}  // namespace
}  // namespace scanner_sim
