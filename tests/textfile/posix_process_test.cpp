// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The POSIX backend's view of processes, as the folder lock asks it.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "textfile/file_system.h"

namespace scanforms::textfile {
namespace {

// Asked by a user who may not signal it, a running process still runs.
TEST(PosixProcesses, AnotherUsersRunningProcessRuns) {
    constexpr uid_t kNobody = 65534;
    const pid_t asker = ::fork();
    ASSERT_NE(asker, -1);
    if (asker == 0) {
        // Root asks as nobody about the test; anyone else about init, root's.
        const bool root = ::geteuid() == 0;
        const pid_t asked = root ? ::getppid() : 1;
        const bool dropped = !root || (::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
        _exit(dropped && systemFileSystem().processRunning(asked) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(asker, &status, 0), asker);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace scanforms::textfile
