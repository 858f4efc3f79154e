// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// The machine a POSIX process runs on, as the folder lock tells machines
// apart: /etc/machine-id (or D-Bus's copy), the boot, and the space of
// process numbers the process sees.
//
//   /etc/machine-id, /proc/sys/kernel/random/boot_id, /proc/self/ns/pid
//       --> "<machine-id> <boot-id> pid:[<namespace>]" (empty without a machine id)

#include <string>

namespace scanforms::textfile {

std::string posixMachineIdentity();

}  // namespace scanforms::textfile
