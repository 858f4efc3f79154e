#pragma once

// The scanner control component as the Scan window sees it.
//
//   Scan window --PortNumber/PortOpen/SetupScanner/SendCommand/Recover--> CComm
//   Scan window <--SheetRead/EndOfBatch/InitComplete/Notice/ScanFault---- CComm
//
// A member that cannot do its work raises scanforms::Failure with a
// description; the calling handler reports it. Events arrive on the window's
// thread, one at a time, through the CCommEvents the component was given.

#include <cstdint>
#include <string>
#include <string_view>

namespace scanforms {

// The events a scanner component raises. ResponseText holds the text of the
// event being raised (a sheet's response, a notice, a diagnostic).
class CCommEvents {
public:
    virtual ~CCommEvents() = default;

    // A sheet was read; an empty ResponseText means a read error.
    virtual void SheetRead() = 0;
    // The scanner's end-of-batch button was pressed.
    virtual void EndOfBatch() = 0;
    // The answer to SetupScanner: nonzero is ready, 0 is not detected.
    virtual void InitComplete(std::int16_t result) = 0;
    // A status text is in ResponseText.
    virtual void Notice() = 0;
    // A scanning error or time-out ended the read.
    virtual void ScanFault() = 0;
};

class CComm {
public:
    virtual ~CComm() = default;

    // Where events go; set once by whoever hosts the component.
    void setEvents(CCommEvents* events) { events_ = events; }

    // The port the next open uses (1 is the first serial port).
    virtual void PortNumber(std::int16_t port) = 0;
    // True opens the port; a port that cannot be opened leaves PortOpen
    // reading False. False closes it and never fails, open or closed.
    virtual void PortOpen(bool open) = 0;
    virtual bool PortOpen() const = 0;
    // The text of the event being raised.
    virtual std::string ResponseText() const = 0;
    // Makes the scanner accept a new read after a fault.
    virtual void Recover() = 0;
    // Starts initialization; InitComplete follows.
    virtual void SetupScanner(std::string_view setup) = 0;
    // "READ", "Read" or "Read 20": read the next sheet.
    virtual void SendCommand(std::string_view command) = 0;

protected:
    CCommEvents* events() const { return events_; }

private:
    CCommEvents* events_ = nullptr;
};

}  // namespace scanforms
