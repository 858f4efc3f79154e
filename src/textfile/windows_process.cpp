// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The Windows backend's view of processes, for the folder lock: this
// process and this computer, and whether a process of this computer runs.

#include <windows.h>

#include "textfile/windows_text.h"

namespace scanforms::textfile {

ProcessIdentity windowsProcessIdentity() {
    ProcessIdentity identity;
    identity.process = GetCurrentProcessId();
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (GetComputerNameA(name, &size)) {
        identity.computer.assign(name, size);
    }
    return identity;
}

bool windowsProcessRunning(long long process) {
    const HANDLE handle =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process));
    if (handle == nullptr) {
        // Another user's process cannot be opened, but runs.
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD exitCode = 0;
    const bool running = GetExitCodeProcess(handle, &exitCode) && exitCode == STILL_ACTIVE;
    CloseHandle(handle);
    return running;
}

}  // namespace scanforms::textfile
