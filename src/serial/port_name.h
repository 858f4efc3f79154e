#pragma once

#include <cstdint>
#include <string>

namespace scanforms::serial {

// The environment variable that names the device of port N: SCANFORMS_COM1
// for port 1, and so on.
std::string portVariable(std::int16_t port);

// The device that port N opens: the value of SCANFORMS_COM<N> when it is set
// and not empty, else the platform's Nth serial port (/dev/ttyS<N-1> on
// Linux, COM<N> on Windows).
std::string portDeviceName(std::int16_t port);

}  // namespace scanforms::serial
