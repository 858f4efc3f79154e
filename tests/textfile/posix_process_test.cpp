// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "textfile/file_system.h"

// Asked by a user who may not signal it (root asks as nobody about the
// test, anyone else about init), a running process still runs.
TEST(PosixProcesses, AnotherUsersRunningProcessRuns) {
    const bool root = ::geteuid() == 0;
    const pid_t asked = root ? ::getpid() : 1;
    const pid_t asker = ::fork();
    if (asker == 0) {
        const bool dropped = !root || (::setgid(65534) == 0 && ::setuid(65534) == 0);
        _exit(dropped && scanforms::textfile::systemFileSystem().processRunning(asked) ? 0 : 1);
    }
    int status = 1;
    ::waitpid(asker, &status, 0);
    EXPECT_EQ(status, 0);
}
