// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The Windows backend's side of the folder lock: this process and this
// computer, whether a process of this computer runs, and the lock file's
// own calls (its heartbeat written in place, the file put under a free name).

#include <windows.h>

#include "common/failure.h"
#include "textfile/windows_text.h"

namespace scanforms::textfile {
namespace {

// The identity Windows gives the installed system. Without it the computer
// is known to no other station, and a lock of its own is only watched.
std::string machineGuid() {
    wchar_t guid[64] = {};
    DWORD size = sizeof guid;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", L"MachineGuid",
                     RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, guid,
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    return narrow(guid).value_or("");
}

}  // namespace

ProcessIdentity windowsProcessIdentity() {
    ProcessIdentity identity;
    identity.process = GetCurrentProcessId();
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (GetComputerNameA(name, &size)) {
        identity.computer.assign(name, size);
    }
    identity.machine = machineGuid();
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

void windowsWriteAt(void* handle, long long offset, std::string_view bytes) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xffffffff);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD done = 0;
    if (!WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &done, &at)) {
        throw Failure(describeWindowsError(GetLastError()));
    }
    if (done != bytes.size()) {
        throw Failure("Disk full");
    }
}

Placement windowsPlaceUnderFreeName(const std::wstring& from, const std::wstring& to) {
    // Without MOVEFILE_REPLACE_EXISTING a move never replaces a file.
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        return Placement::Placed;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return Placement::NameTaken;
    }
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) {
        return Placement::Unsupported;
    }
    throw Failure(describeWindowsError(error));
}

}  // namespace scanforms::textfile
