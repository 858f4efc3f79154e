// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// scanforms.exe: reads answer sheets from an optical mark reader into
// Scan.TXT in the folder it was started in (program.h).
//
//   scanforms               the Scan window
//   scanforms --list-ports  the serial ports and what Com1 to Com4 open
//   scanforms --help | --version
//
// Here the scanner component is made over the Windows platform, and the
// platform's port list, port map and log are handed to the program.

#include <windows.h>

#include <memory>
#include <string>

#include "common/log_text.h"
#include "scanner/scanner_component.h"
#include "win32/log_file.h"
#include "win32/port_settings.h"
#include "win32/serial_ports.h"
#include "win32/win32_platform.h"
#include "win32app/program.h"

namespace {

// What the program takes from the Windows platform: the registry's ports,
// the port map of the settings file, and the one log file.
scanforms::win32::ProgramParts windowsParts(scanforms::win32::LogFile& log) {
    using namespace scanforms::win32;
    ProgramParts parts;
    parts.ports.ports = systemSerialPorts;
    parts.ports.opens = portDevice;
    parts.ports.opensByDefault = defaultPortDevice;
    parts.ports.map = savePortMapping;
    parts.stationLog = [&log](const std::string& line) {
        log.append("info", "scanforms.station", scanforms::logText(line));
    };
    parts.folderLog = [&log](bool warning, const std::string& line) {
        log.append(warning ? "warning" : "info", "scanforms.folder", line);
    };
    return parts;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    scanforms::win32::LogFile log(scanforms::win32::LogFile::defaultPath());
    const scanforms::win32::ProgramParts parts = windowsParts(log);
    if (const auto exitCode =
            scanforms::win32::runOptions(scanforms::win32::commandLineArguments(), parts.ports)) {
        return *exitCode;
    }
    scanforms::scanner::ScannerComponent scanner(
        std::make_unique<scanforms::win32::Win32Platform>());
    return scanforms::win32::runScanForms(scanner, parts);
}
