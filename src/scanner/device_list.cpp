// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "scanner/device_list.h"

namespace scanforms::scanner {

std::string deviceList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ", ") + name;
    }
    return list.empty() ? "none" : list;
}

std::string otherDevicesHint(const std::vector<std::string>& names, bool anotherThanTried) {
    if (!anotherThanTried) {
        return {};
    }
    return "Serial devices here: " + deviceList(names) + "; right-click a port button to use one. ";
}

}  // namespace scanforms::scanner
