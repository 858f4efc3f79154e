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
#include <utility>

#include "scanner/scanner_component.h"
#include "win32/win32_platform.h"
#include "win32app/program.h"

namespace {

scanforms::win32::ProgramParts partsOf(scanforms::win32::Win32Platform& platform) {
    using scanforms::win32::SerialPortName;
    scanforms::win32::ProgramParts parts;
    parts.ports.ports = [] {
        std::vector<SerialPortName> names;
        for (const auto& port : scanforms::win32::systemSerialPorts()) {
            names.push_back({port.name, port.friendlyName});
        }
        return names;
    };
    parts.ports.opens = [&platform](std::int16_t port) { return platform.portDevice(port); };
    parts.ports.opensByDefault = [](std::int16_t port) { return "COM" + std::to_string(port); };
    parts.ports.map = [](std::int16_t port, const std::string& device) {
        return scanforms::win32::savePortMapping(port, device);
    };
    parts.stationLog = [](const std::string& line) {
        scanforms::win32::appendToLog("scanforms.station", line);
    };
    parts.folderLog = [](bool, const std::string& line) {
        scanforms::win32::appendToLog("scanforms.folder", line);
    };
    return parts;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    scanforms::win32::Win32Platform lookups;
    const scanforms::win32::ProgramParts parts = partsOf(lookups);
    if (const auto exitCode =
            scanforms::win32::runOptions(scanforms::win32::commandLineArguments(), parts.ports)) {
        return *exitCode;
    }
    scanforms::scanner::ScannerComponent scanner(
        std::make_unique<scanforms::win32::Win32Platform>());
    return scanforms::win32::runScanForms(scanner, parts);
}
