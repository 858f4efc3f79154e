#pragma once

// The Scan window's logic: its state variables and its handlers, with no
// toolkit. The real window (or a test's recorder) is the ScanView; the
// scanner is a CComm whose events come back here.
//
//   operator clicks --> Scan::deliver(handler) --+
//   CComm events ------> Scan (CCommEvents) -----+--> HandlerGate --> handler
//                                                      |
//   handler --> ScanView (status, labels, ports, boxes, beep, end)
//           --> CComm (port, setup, read commands)
//           --> TextFiles (Scan.TXT, Com.TXT, FormsFlag.TXT)

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "scanner/ccomm.h"
#include "textfile/text_files.h"
#include "window/handler_gate.h"
#include "window/scan_view.h"

namespace scanforms {

class Scan : public CCommEvents {
public:
    Scan(ScanView& view, CComm& comm);
    ~Scan() override;
    Scan(const Scan&) = delete;
    Scan& operator=(const Scan&) = delete;

    // Runs a handler of this window once the running one (if any) returned.
    // The host delivers every click and the window's creation and
    // destruction through here; after Done nothing runs any more.
    void deliver(std::function<void()> handler) { gate_.run(std::move(handler)); }
    bool ended() const { return ended_; }

    // The window's handlers. Each runs to its end and reports its own
    // failures; none throws.
    void Form_Initialize();
    void Form_Terminate();
    void Port_Click(std::int16_t index);
    void InitializeScanner_Click();
    void StartScan_Click();
    void Cancel_Click();
    void CComm1_SheetRead();
    void CComm1_EndOfBatch();
    void CComm1_InitComplete(std::int16_t result);
    void CComm1_Notice();
    void CComm1_ScanFault();

    // Decodes resp, checks it and records a clean sheet in Scan.TXT.
    void Tranresp();
    // Warns about "?" answers in `text`; 1 when it warned, else 0.
    std::int16_t MultMarks(const std::string& text);

    // Window state, as the handlers leave it.
    std::string resp;
    std::string outrec;
    std::string Bite;
    std::string b;
    std::int16_t I = 0;
    std::string strOutID;
    std::int16_t FormsFlag = 0;
    std::int16_t c = 0;
    std::int16_t com = 0;
    std::optional<std::int16_t> OKFlag;  // empty until Initialize Scanner

    const textfile::TextFiles& files() const { return files_; }

private:
    // CCommEvents: the component's events, run through the gate.
    void SheetRead() override;
    void EndOfBatch() override;
    void InitComplete(std::int16_t result) override;
    void Notice() override;
    void ScanFault() override;

    // Queues a component event together with the text it was raised with, so
    // that a handler run later still reads its own event's ResponseText.
    void deliverEvent(std::function<void()> handler);
    std::string responseText() const;

    enum class OnFailure { CloseAllFiles, KeepFiles, Silent };
    // Runs `body`; a failure inside it shows "You have encountered error "
    // and its description, then closes every open file unless told not to.
    // Returns false when the body failed.
    bool trapped(OnFailure onFailure, const std::function<void()>& body);
    void endProgram();

    ScanView& view_;
    CComm& comm_;
    textfile::TextFiles files_;
    HandlerGate gate_;
    std::optional<std::string> eventText_;
    bool ended_ = false;
};

}  // namespace scanforms
