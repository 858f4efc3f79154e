// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The scanforms program on Windows, apart from the scanner component that
// its main creates:
//
//   command line --> runOptions: --help, --version, --list-ports print to the
//                    console the program was started from, and end;
//                    --station enters Documents\Scan Forms (made when
//                    missing, with Com.TXT choosing Com1), as the Start
//                    menu's shortcut asks
//   otherwise   --> runScanForms: the folder locked (one box and end when it
//                   cannot be), a torn record cut off Scan.TXT, the Scan
//                   window over the component (it reads the port file), the
//                   loop until Done or the close box
//
// Files are those of the current directory: the Start menu's shortcut starts
// the program in the station's folder.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "station/folder_guard.h"
#include "station/scanner.h"
#include "win32window/port_menu.h"
#include "win32window/scan_window.h"

namespace scanforms::win32 {

// What the program takes from the platform it runs on.
struct ProgramParts {
    PortMenuSources ports;
    StationLog stationLog;
    FolderLog folderLog;
};

// The command line's options, after the program's name. Prints and returns
// the exit code for an option (an unknown one is refused the same way);
// nothing when the window is to run.
std::optional<int> runOptions(const std::vector<std::wstring>& arguments,
                              const PortMenuSources& ports);

// What --list-ports prints: the system's serial ports, and the device each of
// Com1 to Com4 opens now.
std::string portListing(const PortMenuSources& ports);

// Runs the station in the current directory over `scanner`; returns the exit
// code: 1 when the folder could not be locked, 0 otherwise.
int runScanForms(Scanner& scanner, const ProgramParts& parts);

// The command line, split as the system's programs split it.
std::vector<std::wstring> commandLineArguments();

}  // namespace scanforms::win32
