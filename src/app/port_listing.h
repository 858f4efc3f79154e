// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// What `scanforms --list-ports` prints: the serial devices present, what
// Com1 to Com4 open now and where that comes from, whether this user may
// open each, and how to map a port in the settings file.

#include <string>

namespace scanforms::app {

std::string listPorts();

// The tooltip of port button `index` ("Com1" is 0): the device it opens.
std::string portButtonTip(int index);

}  // namespace scanforms::app
