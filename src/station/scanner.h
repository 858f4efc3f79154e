// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanner component as the station sees it.
//
//   Station --setPortNumber/openPort/closePort/setUp/sendCommand/recover--> Scanner
//   Station <--sheetRead/endOfBatch/initComplete/notice/scanFault--------- Scanner
//   Station --requirePortForCommands/heldInput (asks, changes nothing)--> Scanner
//
// Each event carries what it is about (the sheet's response, the notice's
// text, the setup result with its diagnostic, the fault's reason). A member
// that cannot do its work raises scanforms::Failure with a description; the
// calling handler reports it. Events arrive on the station's thread, one at a
// time: while one of the station's handlers runs, the component leaves its
// input unread, and reads on once told that the handlers have returned.
//
// When the station stops listening (Done, the close box, a port choice),
// heldInput tells what that input holds: the sheets the scanner pulled that
// no event told of, and whether one more may be on its way.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/failure.h"

namespace scanforms {

class ScannerEvents {
public:
    virtual ~ScannerEvents() = default;

    // True while a handler runs (a modal box is open inside it, say): no
    // event is raised meanwhile.
    virtual bool handlerRunning() const = 0;

    // A sheet was read; an empty response is a read error.
    virtual void onSheetRead(std::string response) = 0;
    // The scanner's end-of-batch button was pressed.
    virtual void onEndOfBatch() = 0;
    // The answer to setUp: nonzero is ready, 0 is not detected, and then
    // `diagnostic` says why (it ends in a blank when not empty).
    virtual void onInitComplete(std::int16_t result, std::string diagnostic) = 0;
    // A status text from the scanner.
    virtual void onNotice(std::string text) = 0;
    // A scanning error or time-out ended the read.
    virtual void onScanFault(std::string reason) = 0;
};

// What the component has from the scanner and has not raised, decoded for
// naming only: nothing of it is raised, and the input stays as it was.
struct HeldInput {
    // The responses of the whole sheet frames in the input, oldest first.
    std::vector<std::string> sheets;
    // What may still be on its way after them.
    enum class InFlight {
        Nothing,         // every read sent has its answer
        PartialFrame,    // a frame has begun and not ended
        ReadUnanswered,  // a read was sent and nothing has come for it
    };
    InFlight inFlight = InFlight::Nothing;
    // A PartialFrame that is a sheet's: its response so far, which names the
    // sheet once it reaches the identifier.
    std::string partialSheet;

    // Nothing came and nothing is owed: the line is quiet.
    bool empty() const { return sheets.empty() && inFlight == InFlight::Nothing; }
};

class Scanner {
public:
    virtual ~Scanner() = default;

    // Where events go; set once by whoever hosts the component.
    void setEvents(ScannerEvents* events) { events_ = events; }

    // The port the next open uses (1 is the first serial port).
    virtual void setPortNumber(std::int16_t port) = 0;
    // Opens the port; a port that cannot be opened leaves portIsOpen false
    // and raises nothing.
    virtual void openPort() = 0;
    // Closes the port; never fails, open or closed.
    virtual void closePort() = 0;
    virtual bool portIsOpen() const = 0;
    // Sends the setup string; onInitComplete answers it.
    virtual void setUp(std::string_view setup) = 0;
    // "READ", "Read" or "Read 20": read the next sheet.
    virtual void sendCommand(std::string_view command) = 0;
    // Makes the scanner accept a new read after a fault.
    virtual void recover() = 0;
    // Raises the Failure that sendCommand would meet now for want of a port
    // (not open, the scanner lost); returns when a command can go out.
    virtual void requirePortForCommands() const {
        if (!portIsOpen()) {
            throw Failure("Port is not open");
        }
    }
    // What the input holds that no event told of yet (see HeldInput).
    virtual HeldInput heldInput() { return {}; }
    // The station's handlers have all returned: input left unread meanwhile
    // may be raised now.
    virtual void handlersReturned() {}

protected:
    ScannerEvents* events() const { return events_; }

private:
    ScannerEvents* events_ = nullptr;
};

}  // namespace scanforms
