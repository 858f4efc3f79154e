// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// fake-station.exe: the scanforms program on Windows (options, the folder's
// lock, the Scan window) over the fake scanner, whose port always opens: a
// station the driver plays without a scanner.

#include <windows.h>

#include "fakes/fake_scanner.h"
#include "win32app/program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    scanforms::win32::PortMenuSources ports;
    ports.ports = [] {
        return std::vector<scanforms::win32::SerialPort>{{"COM1", "Communications Port"}};
    };
    ports.opens = [](std::int16_t port) { return "COM" + std::to_string(port); };
    ports.opensByDefault = ports.opens;
    ports.map = [](std::int16_t, const std::string&) { return std::optional<std::string>(); };
    if (const auto exitCode =
            scanforms::win32::runOptions(scanforms::win32::commandLineArguments(), ports)) {
        return *exitCode;
    }
    std::vector<std::string> calls;
    scanforms::testing::FakeScanner scanner(calls);
    return scanforms::win32::runScanForms(scanner, {ports, {}, [](bool, const std::string&) {}});
}
