// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "wire/wire_protocol.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace scanforms::wire {
namespace {

using namespace std::string_literals;

// Every byte value once, 0x00 to 0xFF.
std::string allBytes() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

std::vector<DecodeResult> decodeAll(std::string_view bytes) {
    FrameDecoder decoder;
    return decoder.feed(bytes);
}

std::vector<DecodeResult> decodeByteByByte(std::string_view bytes) {
    FrameDecoder decoder;
    std::vector<DecodeResult> results;
    for (const char byte : bytes) {
        for (auto& result : decoder.feed(std::string_view(&byte, 1))) {
            results.push_back(std::move(result));
        }
    }
    return results;
}

// ---- Every frame type round trip, whole and byte by byte ----

struct RoundTrip {
    const char* name;
    Frame frame;
    std::string wire;  // the exact bytes on the line
};

void PrintTo(const RoundTrip& trip, std::ostream* out) {
    *out << trip.name;
}

class FrameRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(FrameRoundTrip, EncodesToTheDocumentedBytes) {
    EXPECT_EQ(encodeFrame(GetParam().frame), GetParam().wire);
}

TEST_P(FrameRoundTrip, DecodesWhole) {
    const auto results = decodeAll(GetParam().wire);
    ASSERT_EQ(results.size(), 1u);
    ASSERT_TRUE(std::holds_alternative<Frame>(results[0]));
    EXPECT_EQ(std::get<Frame>(results[0]), GetParam().frame);
}

TEST_P(FrameRoundTrip, DecodesSplitByteByByte) {
    const auto results = decodeByteByByte(GetParam().wire);
    ASSERT_EQ(results.size(), 1u);
    ASSERT_TRUE(std::holds_alternative<Frame>(results[0]));
    EXPECT_EQ(std::get<Frame>(results[0]), GetParam().frame);
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, FrameRoundTrip,
    ::testing::Values(
        RoundTrip{"Sheet", {FrameType::Sheet, "abc", 0}, "\x02S3:abc\x03"},
        RoundTrip{"EmptySheet", {FrameType::Sheet, "", 0}, "\x02S0:\x03"},
        RoundTrip{"SheetOfEveryByte",
                  {FrameType::Sheet, allBytes(), 0},
                  "\x02S256:"s + allBytes() + "\x03"},
        RoundTrip{"SheetOfFrameBytes",
                  {FrameType::Sheet, "\x02\x03\x02S1:x\x03", 0},
                  "\x02S8:\x02\x03\x02S1:x\x03\x03"},
        RoundTrip{"LongestSheet",
                  {FrameType::Sheet, std::string(kMaxPayload, '@'), 0},
                  "\x02S1024:" + std::string(kMaxPayload, '@') + "\x03"},
        RoundTrip{"EndOfBatch",
                  {FrameType::EndOfBatch, "", 0},
                  "\x02"
                  "E0:\x03"},
        RoundTrip{"Ready", {FrameType::InitResult, "", 1}, "\x02I1:1\x03"},
        RoundTrip{"NegativeReady", {FrameType::InitResult, "", -32768}, "\x02I6:-32768\x03"},
        RoundTrip{
            "NotDetected", {FrameType::InitResult, "No answer. ", 0}, "\x02I13:0 No answer. \x03"},
        RoundTrip{
            "DiagnosticWithLeadingBlank", {FrameType::InitResult, " x", 0}, "\x02I4:0  x\x03"},
        RoundTrip{"Notice", {FrameType::Notice, "S\"tatus", 0}, "\x02N7:S\"tatus\x03"},
        RoundTrip{"Fault",
                  {FrameType::Fault, "Paper jam", 0},
                  "\x02"
                  "F9:Paper jam\x03"},
        RoundTrip{"FaultWithoutReason",
                  {FrameType::Fault, "", 0},
                  "\x02"
                  "F0:\x03"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(FrameEncoding, RefusesAPayloadOverTheLimit) {
    EXPECT_THROW(encodeFrame({FrameType::Sheet, std::string(kMaxPayload + 1, 'x'), 0}),
                 std::length_error);
}

TEST(FrameDecoding, DeliversSeveralFramesOfOneChunkInOrder) {
    const std::string wire = encodeFrame({FrameType::Notice, "one", 0}) +
                             encodeFrame({FrameType::Sheet, "two", 0}) +
                             encodeFrame({FrameType::EndOfBatch, "", 0});
    const auto results = decodeAll(wire);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(std::get<Frame>(results[0]).text, "one");
    EXPECT_EQ(std::get<Frame>(results[1]).text, "two");
    EXPECT_EQ(std::get<Frame>(results[2]).type, FrameType::EndOfBatch);
}

// ---- Bad input: one error, then the next good frame ----

struct BadInput {
    const char* name;
    std::string bytes;
    FrameError error;
};

void PrintTo(const BadInput& input, std::ostream* out) {
    *out << input.name;
}

class BadFrame : public ::testing::TestWithParam<BadInput> {};

const std::string kGoodFrame = "\x02S4:good\x03";

TEST_P(BadFrame, GivesOneErrorAndResynchronisesOnTheNextFrame) {
    for (const bool byteByByte : {false, true}) {
        const std::string wire = GetParam().bytes + kGoodFrame;
        const auto results = byteByByte ? decodeByteByByte(wire) : decodeAll(wire);
        ASSERT_EQ(results.size(), 2u) << (byteByByte ? "byte by byte" : "whole");
        ASSERT_TRUE(std::holds_alternative<FrameError>(results[0]));
        EXPECT_EQ(std::get<FrameError>(results[0]), GetParam().error);
        ASSERT_TRUE(std::holds_alternative<Frame>(results[1]));
        EXPECT_EQ(std::get<Frame>(results[1]).text, "good");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadFrame,
    ::testing::Values(
        BadInput{"Garbage", "line noise \xff\x80 here\r\n", FrameError::StrayBytes},
        BadInput{"NulBetweenFrames", "\0\0\0"s, FrameError::StrayBytes},
        BadInput{"UnknownType", "\x02Z3:abc\x03", FrameError::BadHeader},
        BadInput{"LowerCaseType", "\x02s3:abc\x03", FrameError::BadHeader},
        BadInput{"NoLength", "\x02S:abc\x03", FrameError::BadHeader},
        BadInput{"LetterInLength", "\x02S1x:abc\x03", FrameError::BadHeader},
        BadInput{"FiveDigitLength", "\x02S00003:abc\x03", FrameError::BadHeader},
        BadInput{"Overlong", "\x02S1025:" + std::string(1025, 'x') + "\x03", FrameError::Overlong},
        BadInput{"HugeLength", "\x02S9999:" + std::string(5000, 'x'), FrameError::Overlong},
        BadInput{"PayloadLongerThanItsLength", "\x02S3:abcd\x03", FrameError::MissingEnd},
        BadInput{"LengthOverTheNextFrame", "\x02S5:", FrameError::MissingEnd},
        BadInput{"InitResultNotANumber", "\x02I2:ok\x03", FrameError::BadInitResult},
        BadInput{"InitResultOutOfRange", "\x02I5:40000\x03", FrameError::BadInitResult},
        BadInput{"InitResultEmpty", "\x02I0:\x03", FrameError::BadInitResult},
        BadInput{"InitResultSignOnly", "\x02I1:-\x03", FrameError::BadInitResult}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(FrameDecoding, AFrameStartInsideABrokenHeaderStartsTheNextFrame) {
    const auto results = decodeAll("\x02S1\x02S2:ok\x03");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(std::get<FrameError>(results[0]), FrameError::BadHeader);
    EXPECT_EQ(std::get<Frame>(results[1]).text, "ok");
}

TEST(FrameDecoding, KeepsMemoryBoundedOnAnEndlessOverlongFrame) {
    FrameDecoder decoder;
    EXPECT_EQ(decoder.feed("\x02S9999:").size(), 1u);
    // Megabytes of payload after the refused header: all skipped, no error more.
    const std::string block(64 * 1024, 'x');
    for (int i = 0; i < 64; ++i) {
        EXPECT_TRUE(decoder.feed(block).empty());
    }
    EXPECT_FALSE(decoder.midFrame());
}

TEST(FrameDecoding, TellsWhenAFrameIsUnderWay) {
    FrameDecoder decoder;
    EXPECT_FALSE(decoder.midFrame());
    decoder.feed("\x02S5:ab");
    EXPECT_TRUE(decoder.midFrame());
    EXPECT_EQ(decoder.framesBegun(), 1u);
    EXPECT_EQ(decoder.frameUnderWay()->payload, "ab");
    decoder.feed("cde\x03");
    EXPECT_FALSE(decoder.midFrame());
    EXPECT_FALSE(decoder.frameUnderWay());
    decoder.feed("\x02N");
    EXPECT_EQ(decoder.framesBegun(), 2u);
}

TEST(FrameDecoding, SkippingAPartialFrameDropsItsRestSilently) {
    FrameDecoder decoder;
    decoder.feed("\x02S10:abc");
    decoder.skipToNextFrame();
    const auto results = decoder.feed("defghij\x03" + kGoodFrame);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(std::get<Frame>(results[0]).text, "good");
}

TEST(FrameDecoding, AFrameSkippedAsTimedOutGivesUpTheFrameInsideIt) {
    FrameDecoder decoder;
    EXPECT_TRUE(decoder.feed("\x02S300:" + kGoodFrame).empty());
    decoder.skipToNextFrame();
    const auto results = decoder.feed("");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(std::get<Frame>(results[0]).text, "good");
}

TEST(FrameDecoding, ResetForgetsAPartialFrame) {
    FrameDecoder decoder;
    decoder.feed("\x02S10:abc");
    decoder.reset();
    EXPECT_FALSE(decoder.midFrame());
    const auto results = decoder.feed(kGoodFrame);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(std::get<Frame>(results[0]).text, "good");
}

// ---- Commands ----

TEST(CommandEncoding, EndsEachCommandWithCarriageReturn) {
    EXPECT_EQ(encodeCommand("f-3652.800"), "f-3652.800\r");
    EXPECT_EQ(encodeCommand("Read 20"), "Read 20\r");
}

TEST(CommandEncoding, RefusesLineBreaksAndOverlongCommands) {
    EXPECT_THROW(encodeCommand("READ\rRead"), std::invalid_argument);
    EXPECT_THROW(encodeCommand("READ\n"), std::invalid_argument);
    EXPECT_THROW(encodeCommand(std::string(kMaxCommandLength + 1, 'x')), std::invalid_argument);
    EXPECT_NO_THROW(encodeCommand(std::string(kMaxCommandLength, 'x')));
}

TEST(CommandClassification, KnowsReadsRecoverAndSetup) {
    const std::vector<std::pair<std::string, CommandKind>> cases = {
        {"READ", CommandKind::Read},         {"Read", CommandKind::Read},
        {"Read 20", CommandKind::Read},      {"Read 5", CommandKind::Read},
        {"RECOVER", CommandKind::Recover},   {"f-3652.800", CommandKind::Setup},
        {"read", CommandKind::Setup},        {"Read ", CommandKind::Setup},
        {"Read twenty", CommandKind::Setup}, {"Recover", CommandKind::Setup},
    };
    for (const auto& [line, kind] : cases) {
        EXPECT_EQ(classifyCommand(line), kind) << line;
    }
}

TEST(CommandSplitting, SplitsOnCrOrLfAcrossChunks) {
    CommandSplitter splitter;
    EXPECT_TRUE(splitter.feed("f-365").empty());
    EXPECT_EQ(splitter.feed("2.800\rRE"), std::vector<std::string>{"f-3652.800"});
    EXPECT_EQ(splitter.feed("AD\r\nRead 20\n\r\r"), (std::vector<std::string>{"READ", "Read 20"}));
}

TEST(CommandSplitting, DropsAnOverlongLineWhole) {
    CommandSplitter splitter;
    const auto lines = splitter.feed(std::string(kMaxCommandLength + 10, 'x') + "\rRead\r");
    EXPECT_EQ(lines, std::vector<std::string>{"Read"});
}

}  // namespace
}  // namespace scanforms::wire
