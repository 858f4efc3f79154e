#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/failure.h"
#include "scanner/ccomm.h"

namespace scanforms::app {

// The scanner component the program holds while no serial component is built
// in. Its port never opens, so Initialize Scanner reports that the port open
// failed; every command is refused, and no event is ever raised.
class NoScannerComm final : public CComm {
  public:
    void PortNumber(std::int16_t /*port*/) override {}
    void PortOpen(bool /*open*/) override {}
    bool PortOpen() const override { return false; }
    std::string ResponseText() const override { return {}; }
    void Recover() override { refuse(); }
    void SetupScanner(std::string_view /*setup*/) override { refuse(); }
    void SendCommand(std::string_view /*command*/) override { refuse(); }

  private:
    [[noreturn]] static void refuse() { throw Failure("Port is not open"); }
};

}  // namespace scanforms::app
