// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#pragma once

// While it lives, the calling thread checks file permissions as an ordinary
// user would: root's power to read and write past mode bits
// (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH) leaves its effective set, and comes
// back at the end. Capabilities belong to a thread; the Scan window's
// handlers run on the thread that creates this.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <stdexcept>

namespace scanforms::testing {

class OrdinaryFileAccess {
public:
    OrdinaryFileAccess() {
        if (::syscall(SYS_capget, &header_, saved_.data()) != 0) {
            throw std::runtime_error("capget failed");
        }
        std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> reduced = saved_;
        for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
            reduced[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
        }
        if (::syscall(SYS_capset, &header_, reduced.data()) != 0) {
            throw std::runtime_error("capset failed");
        }
    }
    ~OrdinaryFileAccess() { ::syscall(SYS_capset, &header_, saved_.data()); }
    OrdinaryFileAccess(const OrdinaryFileAccess&) = delete;
    OrdinaryFileAccess& operator=(const OrdinaryFileAccess&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> saved_{};
};

}  // namespace scanforms::testing
