// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

#include "station/scanner.h"

namespace scanforms::app {

// Runs the program on a QApplication that already exists: creates the Scan
// window over `scanner` (its initialization handler runs at once, before the
// window shows), shows it as the main window and runs the event loop until
// Done or the window's close box ends the program. Returns the exit code.
// First the current directory is locked against a second station and a torn
// last record is cut off Scan.TXT (see station_folder.h). Where a station
// already runs in the folder, or no lock can be made or read there, shows one
// box that says so, touches no file and returns 1. A folder on a share that
// keeps written data on this computer until close is named in one box.
int runScanForms(Scanner& scanner);

}  // namespace scanforms::app
