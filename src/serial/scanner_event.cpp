#include "serial/scanner_event.h"

#include <utility>

namespace scanforms::serial {
namespace {

ScannerEvent::Kind kindOf(wire::FrameType type) {
    switch (type) {
        case wire::FrameType::Sheet:
            return ScannerEvent::Kind::SheetRead;
        case wire::FrameType::EndOfBatch:
            return ScannerEvent::Kind::EndOfBatch;
        case wire::FrameType::InitResult:
            return ScannerEvent::Kind::InitComplete;
        case wire::FrameType::Notice:
            return ScannerEvent::Kind::Notice;
        case wire::FrameType::Fault:
            return ScannerEvent::Kind::ScanFault;
    }
    return ScannerEvent::Kind::ScanFault;
}

}  // namespace

ScannerEvent eventFor(const wire::DecodeResult& decoded) {
    if (const auto* frame = std::get_if<wire::Frame>(&decoded)) {
        return {kindOf(frame->type), frame->text, frame->result};
    }
    return faultEvent(wire::describe(std::get<wire::FrameError>(decoded)));
}

ScannerEvent faultEvent(std::string reason) {
    return {ScannerEvent::Kind::ScanFault, std::move(reason), 0};
}

}  // namespace scanforms::serial
