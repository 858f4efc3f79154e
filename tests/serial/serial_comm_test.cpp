// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The real component against scanner-sim over a pseudo-terminal.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/failure.h"
#include "component_cases.h"
#include "played_scanner.h"
#include "recording_events.h"
#include "serial/device_port.h"
#include "serial/qt_platform.h"
#include "sim_process.h"

namespace scanforms::testing {
namespace {

using namespace std::chrono_literals;
using scanner::LinkState;
using serial::SerialComm;
using Clock = std::chrono::steady_clock;

// Deadline for anything the simulator answers at once.
constexpr auto kAnswerTimeout = 10s;
// Deadline for a hang-up to be noticed and the device to come back.
constexpr auto kHangUpTimeout = 15s;

constexpr std::int16_t kPort = kComponentPort;
constexpr char kPortVariable[] = "SCANFORMS_COM7";

bool waitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::milliseconds(kAnswerTimeout)) {
    return QTest::qWaitFor(condition, static_cast<int>(timeout.count()));
}

// The worked example's 226-byte response: identifier 004217, answers A, C,
// blank, E, D and 195 blanks.
std::string workedExample() {
    return "0123456789"
           "004217"
           "XYZ"
           "abcdefg"
           "AD@PH" +
           std::string(195, '@');
}

std::string everyByte() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

class SerialCommTest : public ::testing::Test {
protected:
    ~SerialCommTest() override { unsetenv(kPortVariable); }

    // Starts the simulator with `script` and opens the component on it.
    void start(const std::string& script, bool wireSpeed = false) {
        sim.emplace(SimProcess::Setup{script, wireSpeed, {}, true});
        setenv(kPortVariable, sim->linkPath().c_str(), 1);
        comm.setPortNumber(kPort);
        comm.openPort();
        ASSERT_TRUE(comm.portIsOpen()) << "could not open " << sim->linkPath();
    }

    // Opens the component on a scanner the test plays.
    void startPlayed() {
        played.emplace();
        setenv(kPortVariable, played->devicePath().c_str(), 1);
        comm.setPortNumber(kPort);
        comm.openPort();
        ASSERT_TRUE(comm.portIsOpen()) << "could not open " << played->devicePath();
    }

    // Answers events as the Scan window does: the next read after a sheet,
    // Recover and a read after a fault.
    void answerLikeTheWindow() {
        events.react = [this](const Raised& raised) {
            if (raised.event == "SheetRead" && !raised.text.empty()) {
                comm.sendCommand("Read");
            } else if (raised.event == "ScanFault") {
                comm.recover();
                comm.sendCommand("Read");
            }
        };
    }

    bool waitForLog(std::size_t lines) {
        return waitFor([&] { return sim->logLines().size() >= lines; });
    }

    SerialComm comm;
    RecordingEvents events{comm};
    std::optional<SimProcess> sim;
    std::optional<PlayedScanner> played;
};

// ---- Opening and the line ----

TEST_F(SerialCommTest, OpensAt9600BaudNoParity8DataBits2StopBitsAsTheScannerSeesIt) {
    start("LINESETTINGS\n");
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("Notice") == 1; }));
    EXPECT_EQ(events.texts("Notice").front(), "9600,n,8,2");
}

TEST_F(SerialCommTest, ReportsAMissingDeviceAsNotOpenWithoutFailing) {
    setenv(kPortVariable, "/nonexistent/scanner", 1);
    comm.setPortNumber(kPort);
    EXPECT_NO_THROW(comm.openPort());
    EXPECT_FALSE(comm.portIsOpen());
    EXPECT_EQ(comm.linkState(), LinkState::Closed);
}

// A second station on the same scanner is refused whichever name leads it
// there, the link the first opened or the device itself, and the log names
// the process holding it.
TEST_F(SerialCommTest, ReportsADeviceOpenElsewhereAsNotOpenWithoutFailing) {
    start("");
    for (const std::string& name : {sim->linkPath(), sim->devicePath()}) {
        SCOPED_TRACE(name);
        setenv(kPortVariable, name.c_str(), 1);
        SerialComm second;
        second.setPortNumber(kPort);
        EXPECT_NO_THROW(second.openPort());
        EXPECT_FALSE(second.portIsOpen());
        // What the log says after "did not open: ".
        const QString why = serial::DevicePort().open(name);
        EXPECT_TRUE(why.startsWith(QStringLiteral("locked by process %1").arg(::getpid())))
            << why.toStdString();
    }
    // The first keeps working.
    comm.setUp("f-3652.800");
    EXPECT_TRUE(waitFor([&] { return events.count("InitComplete") == 1; }));
}

TEST_F(SerialCommTest, DropsWhatTheDeviceSentBeforeTheOpen) {
    sim.emplace(SimProcess::Setup{"NOTICE sent too early\nLINESETTINGS\n", false, {}, true});
    {
        // Wait until the early notice sits unread on the device.
        const int fd = ::open(sim->devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        int unread = 0;
        EXPECT_TRUE(waitFor([&] { return ::ioctl(fd, FIONREAD, &unread) == 0 && unread > 0; }));
        ::close(fd);
    }
    setenv(kPortVariable, sim->linkPath().c_str(), 1);
    comm.setPortNumber(kPort);
    comm.openPort();
    ASSERT_TRUE(comm.portIsOpen());
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("Notice") == 1; }));
    EXPECT_EQ(events.texts("Notice"), std::vector<std::string>{"9600,n,8,2"});
}

// ---- Members that cannot work ----

TEST_F(SerialCommTest, RefusesPortNumbersThatAreNoSerialPort) {
    const std::pair<int, std::string> cases[] = {
        {0, "No port chosen: click Com1, Com2, Com3 or Com4 first"},
        {-1, "Port number -1 is not a serial port"},
        {-32768, "Port number -32768 is not a serial port"}};
    for (const auto& [port, description] : cases) {
        try {
            comm.setPortNumber(static_cast<std::int16_t>(port));
            ADD_FAILURE() << "port " << port << " was accepted";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.description(), description);
        }
    }
}

// The setup string on a closed port is dropped without a word: the station
// has already said that the port did not open.
TEST_F(SerialCommTest, CommandsOnAClosedPortFailWithPortIsNotOpenAndSetupIsDropped) {
    const std::vector<std::pair<const char*, std::function<void()>>> members = {
        {"sendCommand", [&] { comm.sendCommand("READ"); }},
        {"recover", [&] { comm.recover(); }},
    };
    for (const bool openedBefore : {false, true}) {
        if (openedBefore) {
            start("");
            comm.closePort();
        }
        EXPECT_NO_THROW(comm.closePort()) << "closing a closed port";
        EXPECT_FALSE(comm.portIsOpen());
        for (const auto& [name, call] : members) {
            try {
                call();
                ADD_FAILURE() << name << " on a closed port did not fail";
            } catch (const Failure& failure) {
                EXPECT_EQ(failure.description(), "Port is not open") << name;
            }
        }
        EXPECT_NO_THROW(comm.setUp("f-3652.800"));
    }
    EXPECT_TRUE(sim->logLines().empty()) << "nothing reached the scanner";
    EXPECT_TRUE(events.raised.empty());
}

TEST_F(SerialCommTest, RefusesACommandWithALineBreak) {
    start("");
    EXPECT_THROW(comm.sendCommand("READ\rRead"), Failure);
}

// ---- Initialization and commands ----

TEST_F(SerialCommTest, SetupIsAnsweredNotDetectedWithItsDiagnosticThenReady) {
    start("NOTDETECTED Lamp \xb0 failure. \n");
    comm.setUp("f-3652.800");
    ASSERT_TRUE(waitFor([&] { return events.count("InitComplete") == 1; }));
    comm.setUp("f-3652.800");
    ASSERT_TRUE(waitFor([&] { return events.count("InitComplete") == 2; }));
    EXPECT_EQ(events.raised[0].result, 0);
    EXPECT_EQ(events.raised[0].text, "Lamp \xb0 failure. ");
    EXPECT_NE(events.raised[1].result, 0);
    EXPECT_EQ(events.raised[1].text, "");
}

// A scanner that is off never answers: after the wait, "not detected" with
// the port and its device named, and the other serial devices found. The
// port here is mapped by the settings file.
TEST_F(SerialCommTest, ASilentScannerIsReportedNotDetectedNamingItsPortAfterTheWait) {
    const QString adapter =
        QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A12345-if00-port0");
    comm.setDeviceSource([&] {
        return QList<serial::SerialDevice>{{adapter, {}, {}, {}, {}, {}}};
    });
    sim.emplace(SimProcess::Setup{"SILENT\n", false, {}, true});
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    ASSERT_TRUE(QDir(config.path()).mkpath(QStringLiteral("scanforms")));
    std::ofstream(config.filePath("scanforms/scanforms.conf").toStdString())
        << "[ports]\nCom7=" << sim->linkPath() << "\n";
    comm.setPortNumber(kPort);
    comm.openPort();
    qunsetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(comm.portIsOpen()) << "the settings file maps Com7 to " << sim->linkPath();

    QElapsedTimer clock;
    clock.start();
    comm.setUp("f-3652.800");
    ASSERT_TRUE(waitFor([&] { return events.count("InitComplete") == 1; }, 15s));
    EXPECT_GE(clock.elapsed(), 9500);
    EXPECT_LE(clock.elapsed(), 12000);
    EXPECT_EQ(events.raised[0].result, 0);
    EXPECT_EQ(events.raised[0].text, "No answer from the scanner on Com7 (" + sim->linkPath() +
                                         "). Serial devices here: " + adapter.toStdString() +
                                         "; right-click a port button to use one. ");

    comm.setUp("f-3652.800");  // pressed again: a fresh wait, answered this time
    ASSERT_TRUE(waitFor([&] { return events.count("InitComplete") == 2; }));
    EXPECT_NE(events.raised[1].result, 0);
}

TEST_F(SerialCommTest, CommandsReachTheScannerInOrderExactlyAsSent) {
    start("");
    comm.setUp("f-3652.800");
    comm.sendCommand("READ");
    comm.sendCommand("Read");
    comm.sendCommand("Read 20");
    comm.recover();
    ASSERT_TRUE(waitForLog(5));
    EXPECT_EQ(sim->logLines(),
              (std::vector<std::string>{"f-3652.800", "READ", "Read", "Read 20", "RECOVER"}));
}

// ---- Sheets and the other events ----

TEST_F(SerialCommTest, DeliversSheetsByteForByteWithNoticesAndEndOfBatchInOrder) {
    const std::vector<std::string> sheets = {
        workedExample(),
        everyByte(),
        std::string("\x80\x81\xfe\xff", 4),
        std::string("nul\0in\0the\0middle", 17),
        "\x02S3:abc\x03",
        "\r\n",
        std::string(1024, '\xff'),
    };
    std::string script;
    for (const auto& sheet : sheets) {
        script += "SHEET " + scriptText(sheet) + "\n";
    }
    script += "NOTICE Hopper low\nEMPTY\nEND\n";
    start(script);
    answerLikeTheWindow();
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == sheets.size() + 1; }));
    // The empty sheet stops the loop, as the window does; END answers the
    // next read.
    comm.sendCommand("Read");
    ASSERT_TRUE(waitFor([&] { return events.count("EndOfBatch") == 1; }));

    std::vector<std::string> expected = sheets;
    expected.push_back("");
    EXPECT_EQ(events.texts("SheetRead"), expected);
    EXPECT_EQ(events.texts("Notice"), std::vector<std::string>{"Hopper low"});
    EXPECT_EQ(events.raised.back().event, "EndOfBatch");
    EXPECT_EQ(events.count("ScanFault"), 0u);
}

// ---- Bad input: one fault, then the next sheet intact ----

struct BadInput {
    const char* name;
    std::string bytes;
};

void PrintTo(const BadInput& input, std::ostream* out) {
    *out << input.name;
}

class BadInputTest : public SerialCommTest, public ::testing::WithParamInterface<BadInput> {};

TEST_P(BadInputTest, EndsTheReadWithOneFaultAndTheNextSheetArrivesIntact) {
    start("RAW " + scriptText(GetParam().bytes) + "\nSHEET after\n");
    answerLikeTheWindow();
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 1; }));
    EXPECT_EQ(events.count("ScanFault"), 1u);
    EXPECT_EQ(events.texts("SheetRead"), std::vector<std::string>{"after"});
    EXPECT_EQ(events.raised.front().event, "ScanFault");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputTest,
    ::testing::Values(BadInput{"Garbage", std::string("line noise\0\xff\x80 and more\r\n", 24)},
                      BadInput{"OverlongFrame", "\x02S2000:" + std::string(2000, 'x') + "\x03"},
                      BadInput{"HugeDeclaredLength",
                               "\x02S9999:" + std::string(3000, 'y') + "\x03"},
                      BadInput{"UnknownFrameType", "\x02Q3:abc\x03"},
                      BadInput{"FrameWithoutEnd", "\x02S3:abcdef"},
                      BadInput{"UnreadableInitResult", "\x02I3:yes\x03"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(SerialCommTest, EveryBadReadGivesItsOwnFault) {
    start("RAW garbage\nRAW \\x02Q3:abc\\x03\nSHEET after\n");
    answerLikeTheWindow();
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 1; }));
    EXPECT_EQ(events.count("ScanFault"), 2u);
}

TEST_F(SerialCommTest, TwoGarbledFramesInAnswerToOneReadAreOneFault) {
    start("RAW \\x02Q3:abc\\x03\\x02Q3:def\\x03\nNOTICE after\n");
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("Notice") == 1; }));
    EXPECT_EQ(events.count("ScanFault"), 1u);
}

// Noise with nothing asked (a scanner being switched on) is no fault: no
// event, no command; the next read is answered as usual.
TEST_F(SerialCommTest, LineNoiseWhileNothingIsAskedIsDropped) {
    start("SHEET first\nNOISE \\x02Q3:abc\\x03junk\\xff\nNOTICE after the noise\nSHEET after\n");
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("Notice") == 1; }));
    comm.sendCommand("Read");
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 2; }));
    EXPECT_EQ(events.count("ScanFault"), 0u);
    EXPECT_EQ(sim->logLines(), (std::vector<std::string>{"READ", "Read"}));
}

// The frame's time counts from its first byte, however slowly the rest
// trickles in; what is left of it is dropped, and the next frame is whole.
TEST_F(SerialCommTest, AFrameTricklingInIsDroppedWithOneFaultThreeSecondsAfterItsFirstByte) {
    startPlayed();
    comm.sendCommand("READ");
    const std::string frame = "\x02S10:abcdefghij\x03";
    const auto first = Clock::now();
    played->trickle(frame, 400ms);
    ASSERT_TRUE(waitFor([&] { return events.count("ScanFault") == 1; }, 10s));
    const auto faultAfter = Clock::now() - first;
    EXPECT_GE(faultAfter, 2900ms);
    EXPECT_LE(faultAfter, 3500ms);
    ASSERT_TRUE(waitFor([&] { return played->trickled() == frame.size(); }, 10s));
    comm.sendCommand("Read");
    played->send("\x02S5:after\x03");
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 1; }));
    EXPECT_EQ(events.texts("SheetRead"), std::vector<std::string>{"after"});
    EXPECT_EQ(events.count("ScanFault"), 1u);
}

// ---- What the input holds when the station stops listening ----

std::string sheetFrame(const std::string& response) {
    return wire::encodeFrame({wire::FrameType::Sheet, response, 0});
}

// Read in one go with the sheet raised: the next sheet and the first bytes
// of the one after are named, and closing the port drops them unraised.
TEST_F(SerialCommTest, SheetsReadButNotRaisedAreHeldUntilThePortCloses) {
    startPlayed();
    const std::string second = workedExample(), third = "0123456789777123" + second.substr(16);
    comm.sendCommand("READ");
    events.busy = true;  // all of it waits in the port until the station is free
    played->send(sheetFrame("first") + sheetFrame(second) + sheetFrame(third).substr(0, 100));
    ASSERT_TRUE(waitFor([&] { return comm.heldInput().sheets.size() == 2; }));
    events.react = [&](const Raised&) { events.busy = true; };  // a box opens on the first
    events.busy = false;
    comm.handlersReturned();
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 1; }));
    const HeldInput held = comm.heldInput();
    EXPECT_EQ(held.sheets, std::vector<std::string>{second});
    EXPECT_EQ(held.inFlight, HeldInput::InFlight::PartialFrame);
    EXPECT_EQ(held.partialSheet, third.substr(0, 100 - 6)) << "the frame's header is 6 bytes";

    comm.closePort();
    EXPECT_TRUE(comm.heldInput().empty());
    events.busy = false;
    comm.handlersReturned();
    QCoreApplication::processEvents();
    EXPECT_EQ(events.count("SheetRead"), 1u);
}

// Initialize Scanner pressed again on the open port keeps what waits in it.
TEST_F(SerialCommTest, OpeningThePortAlreadyOpenKeepsTheSheetsWaitingInIt) {
    startPlayed();
    comm.sendCommand("READ");
    events.busy = true;
    played->send(sheetFrame("waiting"));
    ASSERT_TRUE(waitFor([&] { return comm.heldInput().sheets.size() == 1; }));
    comm.openPort();
    events.busy = false;
    comm.handlersReturned();
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 1; }));
    EXPECT_EQ(events.texts("SheetRead"), std::vector<std::string>{"waiting"});
}

// Start Scanning before the setup answer came, and the answer lost: the
// sheet answers the read, and the setup answer is still waited for.
TEST_F(SerialCommTest, ASheetWhileTheSetupAnswerAndAReadAreOwedAnswersTheRead) {
    startPlayed();
    comm.setUp("f-3652.800");
    comm.sendCommand("READ");
    played->send(sheetFrame("first"));
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 1; }));
    EXPECT_EQ(events.count("InitComplete"), 0u);
    EXPECT_EQ(comm.owed(), scanner::Owed::SetupAnswer);
}

// The frame timer fires with the rest of the frame in the port's buffer
// (here: left there while a box was open): it is read before the frame is
// judged late.
TEST_F(SerialCommTest, AFrameWhoseRestWaitsInThePortIsNotJudgedLate) {
    startPlayed();
    comm.sendCommand("READ");
    const std::string frame = sheetFrame(workedExample());
    played->send(frame.substr(0, 50));
    ASSERT_TRUE(waitFor([&] { return comm.input().decoder().midFrame(); }));
    events.busy = true;
    played->send(frame.substr(50));
    ASSERT_TRUE(waitFor([&] { return comm.heldInput().sheets.size() == 1; }));
    events.busy = false;  // told to nobody: only the frame timer reads on
    ASSERT_TRUE(waitFor([&] { return !events.raised.empty(); }, 10s));
    EXPECT_EQ(events.texts("SheetRead"), std::vector<std::string>{workedExample()});
}

// ---- Losing the device ----

TEST_F(SerialCommTest, AHangUpIsReportedOnceAndRecoverReconnectsWhenTheDeviceIsBack) {
    start("SHEET one\nHANGUP\nSHEET two\n");
    events.react = [this](const Raised& raised) {
        if (raised.event == "SheetRead") {
            comm.sendCommand("Read");
        }
    };
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("ScanFault") == 1; }, kHangUpTimeout));
    EXPECT_EQ(events.texts("SheetRead"), std::vector<std::string>{"one"});
    EXPECT_EQ(comm.linkState(), LinkState::LostReported);
    EXPECT_FALSE(comm.portIsOpen());
    try {
        comm.sendCommand("Read");
        ADD_FAILURE() << "a command went to a lost device";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.description(), "Scanner is not connected");
    }

    // Until the simulator has a new device end, Recover cannot reconnect.
    try {
        comm.recover();
        // The link comes back just before the new device's path is printed.
        EXPECT_TRUE(waitFor([&] { return sim->paths().size() == 2; }))
            << "Recover succeeded with no device there";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.description(), "Scanner is not connected");
        ASSERT_TRUE(waitFor([&] { return sim->paths().size() == 2; }, kHangUpTimeout));
        comm.recover();
    }
    EXPECT_TRUE(comm.portIsOpen());
    comm.sendCommand("Read");
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 2; }));
    EXPECT_EQ(events.texts("SheetRead"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(events.count("ScanFault"), 1u);
    ASSERT_TRUE(waitForLog(5));
    const auto log = sim->logLines();
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"RECOVER", "Read", "Read"}));
}

// A read error and then a resource error from one unplugging are one loss.
// Commands the station sends before it has heard of the loss (it is busy
// with a box) are dropped, not failed; the fault comes once it is free.
TEST_F(SerialCommTest, ALossReportedTwiceIsOneFaultAndCommandsBeforeItAreDropped) {
    start("SHEET one\n");
    auto* port = comm.findChild<QSerialPort*>();
    ASSERT_NE(port, nullptr);
    events.busy = true;
    emit port->errorOccurred(QSerialPort::ReadError);
    emit port->errorOccurred(QSerialPort::ResourceError);
    EXPECT_EQ(comm.linkState(), LinkState::LostFaultOwed);
    EXPECT_NO_THROW(comm.sendCommand("Read"));
    ASSERT_TRUE(waitFor([&] { return !port->isOpen(); })) << "the lost device is closed";
    EXPECT_TRUE(events.raised.empty()) << "nothing is raised while the station is busy";

    events.busy = false;
    events.react = [this](const Raised& raised) {
        if (raised.event == "ScanFault") {
            comm.recover();
            comm.sendCommand("Read");
        }
    };
    comm.handlersReturned();
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 1; }));
    EXPECT_EQ(events.texts("ScanFault"), std::vector<std::string>{"Scanner is not connected"});
    EXPECT_EQ(sim->logLines(), (std::vector<std::string>{"RECOVER", "Read"}));
}

// An adapter pulled while the line is quiet takes its device file and the
// link to it away, and nothing comes on the line to tell of it.
TEST_F(SerialCommTest, ADeviceGoneWhileTheLineIsQuietIsOneFault) {
    played.emplace();
    const QTemporaryDir links;
    const QString link = links.filePath(QStringLiteral("by-id-scanner"));
    ASSERT_TRUE(QFile::link(QString::fromStdString(played->devicePath()), link));
    setenv(kPortVariable, link.toLocal8Bit().constData(), 1);
    comm.setPortNumber(kPort);
    comm.openPort();
    ASSERT_TRUE(comm.portIsOpen());
    ASSERT_TRUE(QFile::remove(link));
    ASSERT_TRUE(waitFor([&] { return events.count("ScanFault") == 1; }));
    EXPECT_EQ(events.texts("ScanFault"), std::vector<std::string>{"Scanner is not connected"});
}

// Recover while the station had not heard of the loss yet tells of it:
// one failure, and no fault after it.
TEST_F(SerialCommTest, ARecoverWhileTheDeviceIsStillGoneIsOneFailureAndNoFault) {
    startPlayed();
    events.busy = true;
    played->vanish();
    ASSERT_TRUE(waitFor([&] { return comm.linkState() == LinkState::LostFaultOwed; }));
    try {
        comm.recover();
        ADD_FAILURE() << "recover succeeded with no device there";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.description(), "Scanner is not connected");
    }
    events.busy = false;
    comm.handlersReturned();
    auto* port = comm.findChild<QSerialPort*>();
    ASSERT_TRUE(waitFor([&] { return !port->isOpen(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(comm.linkState(), LinkState::LostReported);
    EXPECT_TRUE(events.raised.empty());
}

// ---- The cases every platform runs (component_cases.h) ----

class ComponentCaseTest : public SerialCommTest,
                          public ::testing::WithParamInterface<ComponentCase> {
protected:
    ~ComponentCaseTest() override { qunsetenv("XDG_CONFIG_HOME"); }
};

TEST_P(ComponentCaseTest, PlaysAsOnEveryPlatform) {
    const QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    ASSERT_TRUE(QDir(config.path()).mkpath(QStringLiteral("scanforms")));
    std::ofstream(config.filePath("scanforms/scanforms.conf").toStdString())
        << settingsFileText(GetParam());
    start(GetParam().script);
    runComponentCase(
        GetParam(), comm, events,
        {[](const auto& condition, auto deadline) { return waitFor(condition, deadline); },
         [this] { return sim->logLines(); }, [this] { sim->stop(SIGTERM); }});
}

INSTANTIATE_TEST_SUITE_P(Component, ComponentCaseTest, ::testing::ValuesIn(kComponentCases),
                         [](const auto& row) { return std::string(row.param.name); });

// ---- The demonstration batch ----

TEST_F(SerialCommTest, PlaysTheDemoBatchThroughAsTheWindowWouldSeeIt) {
    std::ifstream file(DEMO_BATCH_PATH, std::ios::binary);
    ASSERT_TRUE(file) << "cannot read " << DEMO_BATCH_PATH;
    start({std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()});
    answerLikeTheWindow();
    comm.setUp("f-3652.800");
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("EndOfBatch") == 1; }));
    EXPECT_EQ(events.count("InitComplete"), 1u);
    EXPECT_EQ(events.count("SheetRead"), 25u);
    EXPECT_EQ(events.count("Notice"), 1u);
    EXPECT_EQ(events.count("ScanFault"), 1u);
    // Setup, READ, a Read after each sheet, RECOVER and Read after the jam
    // (which answered the Read after sheet 14).
    std::vector<std::string> expected = {"f-3652.800", "READ"};
    expected.insert(expected.end(), 14, "Read");
    expected.insert(expected.end(), {"RECOVER", "Read"});
    expected.insert(expected.end(), 11, "Read");
    ASSERT_TRUE(waitForLog(expected.size()));
    EXPECT_EQ(sim->logLines(), expected);
}

// ---- Timing at wire speed ----

TEST_F(SerialCommTest, TheLongestFrameArrivesWholeAtWireSpeed) {
    const std::string longest(wire::kMaxPayload, 'L');
    start("SHEET " + longest + "\n", true);
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 1; }));
    EXPECT_EQ(events.count("ScanFault"), 0u);
    EXPECT_EQ(events.texts("SheetRead"), std::vector<std::string>{longest});
}

TEST_F(SerialCommTest, ASheetTakesAQuarterSecondAtWireSpeed) {
    start("SHEET " + workedExample() + "\n", true);
    QElapsedTimer clock;
    clock.start();
    comm.sendCommand("READ");
    ASSERT_TRUE(waitFor([&] { return events.count("SheetRead") == 1; }));
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    std::cout << "226-byte sheet at wire speed: " << seconds << " s\n";
    RecordProperty("sheet_seconds", std::to_string(seconds));
    // 233 bytes on the line (the frame around 226), 11 bits each at 9600 baud.
    const double lineSeconds = 233.0 * 11.0 / 9600.0;
    EXPECT_GE(seconds, lineSeconds * 0.95);
    EXPECT_LT(seconds, lineSeconds + 2.0);
    EXPECT_EQ(events.texts("SheetRead"), std::vector<std::string>{workedExample()});
}

}  // namespace
}  // namespace scanforms::testing
