// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include "station/scanner.h"

namespace scanforms::app {

// Runs the program on a QApplication that already exists: creates the Scan
// window over `scanner` (its initialization handler runs at once, before the
// window shows), shows it as the main window and runs the event loop until
// Done or the window's close box ends the program. Returns the exit code.
// Where a station already runs in the current directory, shows one box that
// says so (with its process id), touches no file and returns 1.
int runScanForms(Scanner& scanner);

}  // namespace scanforms::app
