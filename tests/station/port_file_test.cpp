// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "station/station_fixture.h"

namespace scanforms::testing {
namespace {

using Strings = std::vector<std::string>;

constexpr char kGetReady[] = "Get ready -- Turn scanner power switch on, load your forms.";

class PortFile : public StationFixture {};

// The port a started station opens when initialized.
std::int16_t chosenPort(RecordedStation& run) {
    run.station.onInitializeClicked();
    return run.scanner.portNumber;
}

TEST_F(PortFile, StartUpSelectsTheStoredPort) {
    struct Case {
        std::string content;
        int port;
    };
    const Case cases[] = {
        {"2\r\n", 2},   {"3,1\r\n", 3}, {"1", 1},         {"4\n", 4},
        {" 2 \r\n", 2}, {"+2\r\n", 2},  {"\"2\"\r\n", 2},
    };
    for (const Case& c : cases) {
        TempDir fresh;
        fresh.write("Com.TXT", c.content);
        RecordedStation run;
        run.station.onWindowCreated();
        EXPECT_EQ(run.log, (Strings{"prompt:" + std::string(kGetReady),
                                    "select:" + std::to_string(c.port - 1), "scanner:closePort"}))
            << c.content;
        EXPECT_FALSE(fresh.heldOpen("Com.TXT"));
        EXPECT_EQ(chosenPort(run), c.port);
    }
}

TEST_F(PortFile, BadPortFileGivesOneBoxAndNoSelection) {
    struct Case {
        const char* what;
        std::optional<std::string> content;  // none: no port file at all
        std::string failure;
    };
    const Case cases[] = {
        {"no file", std::nullopt, "File not found"},
        {"empty file", "", "Input past end of file"},
        {"blank line", "\r\n", "Type mismatch"},
        {"zero", "0\r\n", "Port 0 in Com.TXT is not one of Com1 to Com4"},
        {"five", "5\r\n", "Port 5 in Com.TXT is not one of Com1 to Com4"},
        {"negative", "-1\r\n", "Port -1 in Com.TXT is not one of Com1 to Com4"},
        {"lowest integer", "-32768\r\n", "Overflow"},
        {"too big", "40000\r\n", "Overflow"},
        {"fraction", "2.5\r\n", "Type mismatch"},
        {"text after the number", "2abc\r\n", "Type mismatch"},
        {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0", 10), "Type mismatch"},
    };
    for (const Case& c : cases) {
        TempDir fresh;
        if (c.content) {
            fresh.write("Com.TXT", *c.content);
        }
        RecordedStation run;
        run.station.onWindowCreated();
        EXPECT_EQ(run.log, (Strings{"prompt:" + std::string(kGetReady),
                                    "box:64||You have encountered error " + c.failure}))
            << c.what;
        EXPECT_FALSE(fresh.heldOpen("Com.TXT")) << c.what;
        EXPECT_EQ(chosenPort(run), 0) << c.what;
    }
}

TEST_F(PortFile, DirectoryInPlaceOfPortFileIsReported) {
    std::filesystem::create_directory(dir.path() / "com.txt");
    station.onWindowCreated();
    EXPECT_EQ(view.boxes, Strings{"64||You have encountered error Path/File access error"});
}

// Done writes the port into the file start-up reads: an older spelling is
// overwritten, and beside a Com.TXT a com.TXT (a case-sensitive folder) is
// left alone, or the choice would never be read back.
TEST(PortFileSpellings, PortFileWrittenByDoneIsFoundAtNextStart) {
    for (const std::vector<std::string>& before :
         {std::vector<std::string>{"Com.TXT"}, std::vector<std::string>{"com.TXT", "Com.TXT"}}) {
        TempDir fresh;
        for (const std::string& name : before) {
            fresh.write(name, "1\r\n");
        }
        RecordedStation run;
        run.station.onWindowCreated();
        run.choosePort(2);
        run.station.onDoneClicked();
        ASSERT_TRUE(run.view.ended) << before.size();
        EXPECT_EQ(fresh.read("Com.TXT"), "3\r\n") << before.size();

        RecordedStation next;
        next.station.onWindowCreated();
        EXPECT_TRUE(next.view.boxes.empty()) << before.size();
        EXPECT_EQ(chosenPort(next), 3) << before.size();
    }
}

// A click on the button already chosen is no choice: the port stays open and
// a batch in progress goes on.
TEST_F(PortFile, ClickOnAnotherPortButtonChoosesItsPort) {
    struct Case {
        int index;
        bool choice;
    };
    for (const Case& c : {Case{3, true}, Case{0, true}, Case{0, false}, Case{2, true}}) {
        log.clear();
        choosePort(c.index);
        EXPECT_EQ(entries("scanner:closePort").size(), c.choice ? 1u : 0u) << c.index;
        EXPECT_EQ(chosenPort(*this), c.index + 1);
    }
    startRun();
    choosePort(2);
    scanner.raiseSheetRead(sheet("000001"));
    EXPECT_EQ(log,
              (Strings{"select:2", "label1:The scanner read....",
                       "status:000001XYZ" + std::string(200, ' '), "scanner:sendCommand(Read)"}));
    EXPECT_EQ(dir.read("Scan.TXT"), record("000001"));
}

}  // namespace
}  // namespace scanforms::testing
