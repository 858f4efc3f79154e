#include "serial/port_name.h"

#include <cstdlib>

namespace scanforms::serial {

std::string portVariable(std::int16_t port) {
    return "SCANFORMS_COM" + std::to_string(port);
}

std::string portDeviceName(std::int16_t port) {
    const char* chosen = std::getenv(portVariable(port).c_str());
    if (chosen != nullptr && *chosen != '\0') {
        return chosen;
    }
#ifdef _WIN32
    return "COM" + std::to_string(port);
#else
    return "/dev/ttyS" + std::to_string(port - 1);
#endif
}

}  // namespace scanforms::serial
