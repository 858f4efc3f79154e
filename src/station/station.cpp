// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "station/station.h"

#include <new>
#include <utility>

#include "common/failure.h"
#include "decode/multiple_marks.h"
#include "station/operator_texts.h"
#include "station/station_files.h"

namespace scanforms {

namespace {

constexpr char kSetupString[] = "f-3652.800";
constexpr int kPortButtons = 4;
constexpr char kFolderNotOurs[] = "This folder is no longer this station's";

}  // namespace

Station::Station(StationView& view, Scanner& scanner) : view_(view), scanner_(scanner) {
    scanner_.setEvents(this);
    files_.setLog([this](const std::string& line) { view_.log(line); });
}

Station::~Station() {
    scanner_.setEvents(nullptr);
}

void Station::deliver(std::function<void()> handler) {
    gate_.run(std::move(handler));
    if (!gate_.busy() && !ended_) {
        scanner_.handlersReturned();
    }
}

bool Station::trapped(const std::string& action, OnFailure onFailure,
                      const std::function<void()>& body) {
    std::string description;
    try {
        body();
        return true;
    } catch (const Failure& failure) {
        description = failure.description();
    } catch (const std::bad_alloc&) {
        description = "Out of memory";
    } catch (const std::exception& failure) {
        description = failure.what();
    }
    view_.log(action + " failed: " + description);
    if (onFailure == OnFailure::Silent) {
        return false;
    }
    view_.messageBox(kFailurePrefix + description, BoxStyle::Information, std::nullopt);
    if (onFailure == OnFailure::CloseAllFiles) {
        files_.closeAll();
    }
    return false;
}

void Station::endProgram() {
    files_.closeAll();
    ended_ = true;
    gate_.close();
    view_.endProgram();
}

// ---- The window's events ----

void Station::onWindowCreated() {
    deliver([this] { selectStoredPort(); });
}
void Station::onCloseBoxClicked() {
    deliver([this] { warnOfClosingMidBatch(); });
}
void Station::onWindowDestroyed() {
    deliver([this] { closeDown(); });
}
void Station::onPortClicked(int index) {
    deliver([this, index] {
        // Clicking the chosen port again must not close it mid-batch.
        if (index + 1 != chosenPort_) {
            choosePort();
        }
    });
}
void Station::onInitializeClicked() {
    deliver([this] { initializeScanner(); });
}
void Station::onStartScanningClicked() {
    deliver([this] { startScanning(); });
}
void Station::onDoneClicked() {
    deliver([this] { finish(); });
}

// ---- The scanner's events ----

void Station::onSheetRead(std::string response) {
    deliver([this, response = std::move(response)] { readSheet(response); });
}
void Station::onEndOfBatch() {
    deliver([this] { announceEndOfBatch(); });
}
void Station::onInitComplete(std::int16_t result, std::string diagnostic) {
    deliver([this, result, diagnostic = std::move(diagnostic)] {
        finishInitializing(result, diagnostic);
    });
}
void Station::onNotice(std::string text) {
    deliver([this, text = std::move(text)] { showNotice(text); });
}
void Station::onScanFault(std::string /*reason*/) {
    // The operator's box says the same for every reason; the scanner
    // component logs the reason.
    deliver([this] { answerFault(); });
}

// ---- Start-up and the port choice ----

void Station::selectStoredPort() {
    trapped("reading the port file", OnFailure::CloseAllFiles, [&] {
        view_.setPromptCaption("Get ready -- Turn scanner power switch on, load your forms.");
        files_.openInput(kReadFile, kPortFileReadName);
        const std::int16_t stored = files_.readInt16(kReadFile);
        files_.close(kReadFile);
        // The button index is stored - 1 in 16 bits: -32768 has none.
        if (stored == INT16_MIN) {
            throw Failure("Overflow");
        }
        const int index = stored - 1;
        if (index < 0 || index >= kPortButtons) {
            throw Failure("Port " + std::to_string(stored) + " in " + kPortFileReadName +
                          " is not one of Com1 to Com4");
        }
        view_.selectPort(index);
        // Selecting a button from the program is a port choice, as a click is.
        choosePort();
    });
}

void Station::choosePort() {
    // Closing the port never fails; should a component fail anyway, the
    // operator is told, and recording goes on.
    trapped("choosing a port", OnFailure::KeepFiles, [&] {
        stopScanningNamingHeldInput(ListeningStops::PortChosen);
        for (int i = 0; i < kPortButtons; ++i) {
            if (view_.portSelected(i)) {
                chosenPort_ = static_cast<std::int16_t>(i + 1);
            }
        }
    });
}

// ---- Scanner initialization ----

void Station::initializeScanner() {
    trapped("initializing the scanner", OnFailure::CloseAllFiles, [&] {
        view_.setPromptCaption(
            "Press the red End of Batch button on the scanner when you are done.");
        scanner_.setPortNumber(chosenPort_);
        scanner_.openPort();
        if (scanner_.portIsOpen()) {
            ready_ = true;
            view_.setStatusText("Comm Port opened OK. Initializing Scanner...");
        } else {
            view_.setStatusText("Comm Port open failed.  Please select a different Comm Port.");
        }
        scanner_.setUp(kSetupString);
    });
}

void Station::finishInitializing(std::int16_t result, const std::string& diagnostic) {
    trapped("taking the setup answer", OnFailure::CloseAllFiles, [&] {
        if (result != 0) {
            view_.setStatusText(kScannerReady);
        } else {
            ready_ = false;
            view_.setStatusText(diagnostic + "Scanner not detected.  Check the power and cable.");
        }
    });
}

// ---- The scanning loop ----

void Station::readSheet(const std::string& response) {
    trapped("reading a sheet", OnFailure::CloseAllFiles, [&] {
        if (response.empty()) {
            // The loop halts here: no read is asked for.
            view_.log("read error: the scanner gave an empty response");
            view_.messageBox("Read error.", BoxStyle::Information, std::nullopt);
            return;
        }
        const decode::DecodedSheet sheet = decode::decodeResponse(response);
        const std::string text = sheet.text();
        recordSheet(sheet, text);
        view_.setStatusText(text);
        scanner_.sendCommand("Read");
    });
}

void Station::showNotice(const std::string& text) {
    trapped("showing a notice", OnFailure::KeepFiles, [&] {
        view_.setStatusText(text);
        // A notice whose second character is a double quote asks for a read.
        // A notice of fewer than two characters has none: it is only shown.
        const std::string shown = view_.statusText();
        if (shown.size() >= 2 && shown[1] == '"') {
            scanner_.sendCommand("Read 20");
        }
    });
}

void Station::answerFault() {
    trapped("answering a scan fault", OnFailure::KeepFiles, [&] {
        view_.beep();
        view_.messageBox(kFaultBox, BoxStyle::Plain, std::nullopt);
        scanner_.recover();
        scanner_.sendCommand("Read");
    });
}

void Station::announceEndOfBatch() {
    view_.log("end of batch");
    view_.messageBox(kEndOfBatchBox, BoxStyle::Plain, std::nullopt);
}

// ---- Checking and recording one sheet ----

void Station::recordSheet(const decode::DecodedSheet& sheet, const std::string& text) {
    // A failure here closes every file, Scan.TXT included, and the sheet is
    // still shown and answered with a read: later records fail the same way
    // until Start Scanning opens a new Scan.TXT.
    trapped("recording a sheet", OnFailure::CloseAllFiles, [&] {
        view_.setLabel1Caption("The scanner read....");
        if (warnOfMultipleMarks(text)) {
            view_.log("sheet " + sheet.id() + " rejected: multiple marks");
            return;
        }
        writeRecord(sheet);
        recordWritten_ = true;
        ++recordsInScanFile_;
        view_.log("sheet " + sheet.id() + " recorded");
    });
}

void Station::writeRecord(const decode::DecodedSheet& sheet) {
    bool recordFileOpen = files_.isOpen(kWrittenFile);
    try {
        // Never a record into a Scan.TXT that another station now writes.
        if (folderLost()) {
            recordFileOpen = false;
            throw Failure(kFolderNotOurs);
        }
        files_.writeLine(kWrittenFile, {sheet.id(), sheet.answers});
    } catch (const Failure& failure) {
        // The operator must know which sheet to scan again.
        throw Failure(sheetNotRecorded(failure.description(), sheet.id(), recordFileOpen));
    }
}

bool Station::warnOfMultipleMarks(const std::string& text) {
    bool warned = false;  // a failure reads as no warning
    trapped("warning of multiple marks", OnFailure::CloseAllFiles, [&] {
        const auto positions = decode::multipleMarkPositions(text);
        if (!positions.empty()) {
            view_.beep();
            view_.beep();
            view_.messageBox(decode::multipleMarkWarning(positions), BoxStyle::Exclamation,
                             std::string("Warning!"));
            warned = true;
        }
    });
    return warned;
}

}  // namespace scanforms
