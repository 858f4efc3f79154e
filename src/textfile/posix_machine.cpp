// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "textfile/posix_machine.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace scanforms::textfile {
namespace {

// The first line of a small system file; empty when there is none.
std::string firstLineOf(const char* path) {
    std::string line;
    if (FILE* file = std::fopen(path, "re")) {
        char buffer[256] = {};
        if (std::fgets(buffer, sizeof buffer, file) != nullptr) {
            line = buffer;
        }
        std::fclose(file);
    }
    line.erase(std::min(line.find('\n'), line.size()));
    return line;
}

}  // namespace

// This system, this boot of it and its space of process numbers (a container
// has its own): only a process with all three alike may look another's
// process number up. Empty without a machine identity.
std::string posixMachineIdentity() {
    std::string machine = firstLineOf("/etc/machine-id");
    if (machine.empty()) {
        machine = firstLineOf("/var/lib/dbus/machine-id");
    }
    if (machine.empty()) {
        return {};
    }
    char space[64] = {};
    const ssize_t n = ::readlink("/proc/self/ns/pid", space, sizeof space - 1);
    return machine + ' ' + firstLineOf("/proc/sys/kernel/random/boot_id") + ' ' +
           std::string(space, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace scanforms::textfile
