#pragma once

#include <cstdint>
#include <string>

#include "scanner/wire_protocol.h"

namespace scanforms::serial {

// One CComm event waiting to be raised, with the text it carries.
struct ScannerEvent {
    enum class Kind { SheetRead, EndOfBatch, InitComplete, Notice, ScanFault };

    Kind kind = Kind::ScanFault;
    std::string text;         // ResponseText while the event is raised
    std::int16_t result = 0;  // InitComplete only

    bool operator==(const ScannerEvent&) const = default;
};

// The event a decoded frame raises; a decoding error ends the read with a
// fault that carries the error's description.
ScannerEvent eventFor(const wire::DecodeResult& decoded);

ScannerEvent faultEvent(std::string reason);

}  // namespace scanforms::serial
