// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "common/settings_ini.h"

namespace scanforms {

std::string portVariable(std::int16_t port) {
    return "SCANFORMS_COM" + std::to_string(port);
}

std::string portLabel(std::int16_t port) {
    return "Com" + std::to_string(port);
}

}  // namespace scanforms
