#include "window/scan.h"

#include <limits>
#include <new>

#include "common/failure.h"
#include "decode/multiple_marks.h"
#include "decode/response_decoder.h"

namespace scanforms {
namespace {

constexpr int kRecordFile = 1;
constexpr int kPortFileInput = 2;

constexpr char kRecordFileName[] = "Scan.TXT";
constexpr char kPortFileReadName[] = "Com.TXT";
constexpr char kPortFileWriteName[] = "com.TXT";
constexpr char kFlagFileName[] = "FormsFlag.TXT";

constexpr char kSetupString[] = "f-3652.800";
constexpr int kPortButtons = 4;

constexpr char kFailurePrefix[] = "You have encountered error ";

}  // namespace

Scan::Scan(ScanView& view, CComm& comm) : view_(view), comm_(comm) {
    comm_.setEvents(this);
}

Scan::~Scan() {
    comm_.setEvents(nullptr);
}

bool Scan::trapped(OnFailure onFailure, const std::function<void()>& body) {
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
    if (onFailure == OnFailure::Silent) {
        return false;
    }
    view_.messageBox(kFailurePrefix + description, BoxStyle::Information, std::nullopt);
    if (onFailure == OnFailure::CloseAllFiles) {
        files_.closeAll();
    }
    return false;
}

void Scan::endProgram() {
    files_.closeAll();
    ended_ = true;
    gate_.close();
    view_.endProgram();
}

// ---- Start-up and the port choice ----

void Scan::Form_Initialize() {
    trapped(OnFailure::CloseAllFiles, [&] {
        view_.setPromptCaption("Get ready -- Turn scanner power switch on, load your forms.");
        files_.openInput(kPortFileInput, kPortFileReadName);
        c = files_.readInt16(kPortFileInput);
        files_.close(kPortFileInput);
        if (c == std::numeric_limits<std::int16_t>::min()) {
            throw Failure("Overflow");
        }
        const int index = c - 1;
        if (index < 0 || index >= kPortButtons) {
            throw Failure("Port " + std::to_string(c) + " in " + kPortFileReadName +
                          " is not one of Com1 to Com4");
        }
        view_.selectPort(index);
        // Selecting a button from the program runs its click handler at once.
        Port_Click(static_cast<std::int16_t>(index));
    });
}

void Scan::Port_Click(std::int16_t /*index*/) {
    // No trap of its own: closing the port never fails. Should a component
    // fail anyway, the operator is told and the run goes on.
    trapped(OnFailure::KeepFiles, [&] {
        comm_.PortOpen(false);
        for (int i = 0; i < kPortButtons; ++i) {
            if (view_.portSelected(i)) {
                com = static_cast<std::int16_t>(i + 1);
            }
        }
    });
}

// ---- Scanner initialization ----

void Scan::InitializeScanner_Click() {
    trapped(OnFailure::CloseAllFiles, [&] {
        view_.setPromptCaption(
            "Press the red End of Batch button on the scanner when you are done.");
        comm_.PortNumber(com);
        comm_.PortOpen(true);
        if (comm_.PortOpen()) {
            OKFlag = 1;
            view_.setStatusText("Comm Port opened OK. Initializing Scanner...");
        } else {
            view_.setStatusText("Comm Port open failed.  Please select a different Comm Port.");
        }
        comm_.SetupScanner(kSetupString);
    });
}

void Scan::CComm1_InitComplete(std::int16_t result) {
    trapped(OnFailure::CloseAllFiles, [&] {
        if (result != 0) {
            view_.setStatusText(
                "OK to scan forms.  Click the Start Scanning button when you are ready.");
        } else {
            OKFlag = 0;
            view_.setStatusText(responseText() +
                                "Scanner not detected.  Check the power and cable.");
        }
    });
}

// ---- The scanning loop ----

void Scan::StartScan_Click() {
    trapped(OnFailure::CloseAllFiles, [&] {
        files_.close(kRecordFile);
        if (OKFlag == 1) {
            view_.setStatusText("Start feeding your answer sheets.");
            files_.openOutput(kRecordFile, kRecordFileName);
            comm_.SendCommand("READ");
        } else {
            view_.setStatusText("Please initialize the scanner first.");
        }
    });
}

void Scan::CComm1_SheetRead() {
    trapped(OnFailure::CloseAllFiles, [&] {
        resp = responseText();
        if (resp.empty()) {
            view_.messageBox("Read error.", BoxStyle::Information, std::nullopt);
            return;
        }
        Tranresp();
        view_.setStatusText(resp);
        comm_.SendCommand("Read");
    });
}

void Scan::CComm1_Notice() {
    trapped(OnFailure::KeepFiles, [&] {
        view_.setStatusText(responseText());
        // A notice whose second character is a double quote asks for a read.
        // A notice of fewer than two characters has none: it is only shown.
        const std::string shown = view_.statusText();
        if (shown.size() >= 2 && shown[1] == '"') {
            comm_.SendCommand("Read 20");
        }
    });
}

void Scan::CComm1_ScanFault() {
    trapped(OnFailure::KeepFiles, [&] {
        view_.beep();
        view_.messageBox("Scanning error occurred or scanner timeout.  Try again.", BoxStyle::Plain,
                         std::nullopt);
        comm_.Recover();
        comm_.SendCommand("Read");
    });
}

void Scan::CComm1_EndOfBatch() {
    view_.messageBox("End of Batch", BoxStyle::Plain, std::nullopt);
}

// ---- Decoding and recording one sheet ----

void Scan::Tranresp() {
    trapped(OnFailure::CloseAllFiles, [&] {
        outrec = decode::decodeResponse(resp);
        // The decoding loop leaves its variables at the last answer position.
        I = static_cast<std::int16_t>(decode::kLastAnswer + 1);
        Bite = decode::kLastAnswer <= resp.size() ? resp.substr(decode::kLastAnswer - 1, 1) : "";
        b = std::string(1, decode::decodeMark(Bite));
        resp = outrec;
        view_.setLabel1Caption("The scanner read....");
        if (MultMarks(resp) != 0) {
            return;
        }
        strOutID = resp.substr(0, decode::kIdLength);
        files_.writeLine(kRecordFile, {strOutID, decode::recordFields(resp).answers});
        FormsFlag = 1;
    });
}

std::int16_t Scan::MultMarks(const std::string& text) {
    std::optional<std::int16_t> result;  // empty reads as 0
    trapped(OnFailure::CloseAllFiles, [&] {
        // The index is a 16-bit integer running to one past the text's end.
        if (text.size() >= static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max())) {
            throw Failure("Overflow");
        }
        const auto positions = decode::multipleMarkPositions(text);
        I = static_cast<std::int16_t>(std::max<std::size_t>(text.size(), 9) + 1);
        if (!positions.empty()) {
            const std::string warning = decode::multipleMarkWarning(positions);
            view_.beep();
            view_.beep();
            view_.messageBox(warning, BoxStyle::Exclamation, std::string("Warning!"));
            result = 1;
        } else {
            result = 0;
        }
    });
    return result.value_or(0);
}

// ---- Done and termination ----

void Scan::Cancel_Click() {
    trapped(OnFailure::KeepFiles, [&] {
        files_.close(kRecordFile);
        view_.messageBox("Press the END button on your scanner.", BoxStyle::Information,
                         std::string("Press scanner END button."));
        files_.openOutput(kRecordFile, kPortFileWriteName);
        files_.writeLine(kRecordFile, {com});
        files_.close(kRecordFile);
        comm_.PortOpen(false);
        if (FormsFlag == 1) {
            files_.openOutput(kRecordFile, kFlagFileName);
            files_.writeLine(kRecordFile, {FormsFlag});
            files_.close(kRecordFile);
        }
        endProgram();
    });
}

void Scan::Form_Terminate() {
    if (ended_) {
        return;
    }
    trapped(OnFailure::Silent, [&] {
        comm_.PortOpen(false);
        view_.setStatusText("Closed");
        files_.close(kRecordFile);
        files_.close(kPortFileInput);
    });
    // The window is gone: nothing of it runs any more.
    ended_ = true;
    gate_.close();
}

// ---- Component events: each waits for the running handler ----

void Scan::deliverEvent(std::function<void()> handler) {
    deliver([this, handler = std::move(handler), text = comm_.ResponseText()] {
        eventText_ = text;
        handler();
        eventText_.reset();
    });
}

std::string Scan::responseText() const {
    return eventText_ ? *eventText_ : comm_.ResponseText();
}

void Scan::SheetRead() {
    deliverEvent([this] { CComm1_SheetRead(); });
}
void Scan::EndOfBatch() {
    deliverEvent([this] { CComm1_EndOfBatch(); });
}
void Scan::InitComplete(std::int16_t result) {
    deliverEvent([this, result] { CComm1_InitComplete(result); });
}
void Scan::Notice() {
    deliverEvent([this] { CComm1_Notice(); });
}
void Scan::ScanFault() {
    deliverEvent([this] { CComm1_ScanFault(); });
}

}  // namespace scanforms
