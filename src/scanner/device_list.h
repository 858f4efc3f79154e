// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The serial devices a diagnostic names, each by the name a port is mapped
// to, whatever the platform calls its devices:
//
//   names --deviceList--> "A, B", or "none"
//   names, and whether one other than the device tried is there
//     --otherDevicesHint--> "Serial devices here: A, B; right-click a port
//                            button to use one. ", or empty

#include <string>
#include <vector>

namespace scanforms::scanner {

std::string deviceList(const std::vector<std::string>& names);

// Ends in a blank, as the "no answer" diagnostic it is added to does; empty
// unless `anotherThanTried`: with none, or only the one tried, there is
// nothing to offer.
std::string otherDevicesHint(const std::vector<std::string>& names, bool anotherThanTried);

}  // namespace scanforms::scanner
