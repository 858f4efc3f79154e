// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// scanner-sim: plays a scanner on a pseudo-terminal, following a script.
//
//   scanner-sim [--link PATH] [--log FILE] [--wire-speed] SCRIPT
//
// Prints the device path first; serves until SIGTERM or SIGINT.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "options.h"
#include "script.h"
#include "simulator.h"

int main(int argc, char** argv) {
    using namespace scanner_sim;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    Options options;
    try {
        options = parseOptions(arguments);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "scanner-sim: %s\n%s\n", error.what(), kUsage);
        return 2;
    }
    try {
        Simulator simulator(options, loadScript(options.script), stdout);
        return simulator.run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "scanner-sim: %s\n", error.what());
        return 1;
    }
}
