// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// Every state the scanner component can be in: where its link to the device
// stands, and what the scanner owes the host. ScannerComponent::moveTo is the
// one place that changes either; it also stops the timers a state leaves
// behind.
//
// The link:
//
//   Closed ---------openPort, device opens--------------------> Open
//   Open -----------device error or device file gone----------> LostFaultOwed
//   LostFaultOwed --frames read before the loss raised, then
//                   one onScanFault("Scanner is not connected")-> LostReported
//   Lost... --------recover, device back (RECOVER sent)-------> Open
//   Lost... --------recover, device still gone (Failure
//                   "Scanner is not connected", the loss told)-> LostReported
//   any ------------closePort---------------------------------> Closed
//
// What the scanner owes (only while Open; Nothing on every other link state,
// and Nothing again after each open):
//
//   Nothing, FaultAnswer --setup string sent-------------> SetupAnswer
//   Nothing, FaultAnswer --read command sent-------------> Sheet
//   Sheet -----------------setup string sent-------------> SetupAnswerThenSheet
//   SetupAnswer -----------read command sent-------------> SetupAnswerThenSheet
//   any -------------------RECOVER sent------------------> the same without its read
//                                                           (FaultAnswer: Nothing)
//   SetupAnswer... --------I frame, garbled answer, or the
//                          wait over (onInitComplete)----> the same without its setup answer
//   Sheet, ...ThenSheet ---S, E or F frame---------------> the same without its read
//   Sheet -----------------bad bytes, or a frame not ended
//                          in time (one onScanFault)-----> FaultAnswer
//
// The scanner answers in the order it was asked, so while the setup answer
// is owed, bad bytes are its garbled answer; S, E and F frames are one too
// when no read is owed. In FaultAnswer, bad bytes belong to the read that
// failed and raise nothing more until the host answers the fault. Bad bytes
// with a frame start inside them (line noise before a frame) answer nothing:
// the frame that starts there is judged instead.

#include "wire/wire_protocol.h"

namespace scanforms::scanner {

enum class LinkState {
    Closed,         // never opened, or closed by the program
    Open,           // the device is open and answering
    LostFaultOwed,  // the device went away while open; its one fault is not raised yet
    LostReported,   // the device went away, and the operator has been told
};

enum class Owed {
    Nothing,               // nothing asked
    SetupAnswer,           // the answer to the setup string (an I frame), in time
    SetupAnswerThenSheet,  // that answer, then a read's outcome
    Sheet,                 // a read's outcome: a sheet, the end of the batch, a scanning fault
    FaultAnswer,           // a fault was raised for bad input: the host's answer is awaited
};

// What the scanner did about what it owed.
enum class Answer {
    SetupAnswered,  // an I frame, a garbled answer to the setup string, or the wait over
    ReadAnswered,   // an S, E or F frame
    ReadFailed,     // bad bytes, or a frame not ended in time, in answer to a read
};

constexpr bool owesSetupAnswer(Owed owed) {
    return owed == Owed::SetupAnswer || owed == Owed::SetupAnswerThenSheet;
}

constexpr bool owesReadOutcome(Owed owed) {
    return owed == Owed::Sheet || owed == Owed::SetupAnswerThenSheet;
}

constexpr bool isLost(LinkState link) {
    return link == LinkState::LostFaultOwed || link == LinkState::LostReported;
}

constexpr Owed owing(bool setupAnswer, bool readOutcome) {
    if (setupAnswer) {
        return readOutcome ? Owed::SetupAnswerThenSheet : Owed::SetupAnswer;
    }
    return readOutcome ? Owed::Sheet : Owed::Nothing;
}

// What the scanner owes once the host has sent it `sent`.
constexpr Owed afterSending(Owed now, wire::CommandKind sent) {
    switch (sent) {
        case wire::CommandKind::Setup:
            return owing(true, owesReadOutcome(now));
        case wire::CommandKind::Read:
            return owing(owesSetupAnswer(now), true);
        case wire::CommandKind::Recover:
            break;
    }
    return owing(owesSetupAnswer(now), false);
}

// What the scanner owes once it did `answer`.
constexpr Owed afterAnswer(Owed now, Answer answer) {
    switch (answer) {
        case Answer::SetupAnswered:
            return owing(false, owesReadOutcome(now));
        case Answer::ReadAnswered:
            return now == Owed::FaultAnswer ? now : owing(owesSetupAnswer(now), false);
        case Answer::ReadFailed:
            break;
    }
    return now == Owed::Sheet ? Owed::FaultAnswer : now;
}

}  // namespace scanforms::scanner
