// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32/serial_ports.h"

#include <windows.h>
#include <setupapi.h>
#include <devguid.h>

#include <algorithm>
#include <map>

#include "scanner/device_list.h"
#include "win32/win32_text.h"

namespace scanforms::win32 {
namespace {

constexpr wchar_t kSerialComm[] = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr std::string_view kDevicePrefix = "\\\\.\\";

std::string upper(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
    return text;
}

// Friendly names of the Ports class's devices, by their port name.
std::map<std::string, std::string> friendlyNames() {
    std::map<std::string, std::string> names;
    const HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return names;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        wchar_t friendly[256] = {};
        wchar_t portName[64] = {};
        DWORD size = sizeof portName;
        const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) {
            continue;
        }
        const bool named = RegGetValueW(key, nullptr, L"PortName", RRF_RT_REG_SZ, nullptr, portName,
                                        &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        if (named && SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                                       reinterpret_cast<BYTE*>(friendly),
                                                       sizeof friendly - sizeof(wchar_t), nullptr)) {
            names[upper(toUtf8(portName))] = toUtf8(friendly);
        }
    }
    SetupDiDestroyDeviceInfoList(devices);
    return names;
}

}  // namespace

std::vector<SerialPort> systemSerialPorts() {
    std::vector<SerialPort> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialComm, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return ports;
    }
    const std::map<std::string, std::string> friendly = friendlyNames();
    for (DWORD index = 0;; ++index) {
        wchar_t driverName[256] = {};
        wchar_t portName[64] = {};
        DWORD driverSize = 256;
        DWORD portSize = sizeof portName - sizeof(wchar_t);
        DWORD type = 0;
        const LSTATUS status = RegEnumValueW(key, index, driverName, &driverSize, nullptr, &type,
                                             reinterpret_cast<BYTE*>(portName), &portSize);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        SerialPort port{toUtf8(portName), toUtf8(driverName)};
        if (const auto found = friendly.find(upper(port.name)); found != friendly.end()) {
            port.friendlyName = found->second;
        }
        ports.push_back(std::move(port));
    }
    RegCloseKey(key);
    // COM2 before COM10.
    std::ranges::sort(ports, [](const SerialPort& a, const SerialPort& b) {
        return std::pair(a.name.size(), upper(a.name)) < std::pair(b.name.size(), upper(b.name));
    });
    return ports;
}

bool namesPort(const std::string& device, const SerialPort& port) {
    std::string_view name = device;
    if (name.starts_with(kDevicePrefix)) {
        name.remove_prefix(kDevicePrefix.size());
    }
    return upper(std::string(name)) == upper(port.name);
}

namespace {

std::vector<std::string> namesOf(const std::vector<SerialPort>& ports) {
    std::vector<std::string> names;
    for (const SerialPort& port : ports) {
        names.push_back(port.name);
    }
    return names;
}

}  // namespace

std::string portNames(const std::vector<SerialPort>& ports) {
    return scanner::deviceList(namesOf(ports));
}

std::string otherPortsHint(const std::string& tried, const std::vector<SerialPort>& ports) {
    const bool another = std::ranges::any_of(
        ports, [&](const SerialPort& port) { return !namesPort(tried, port); });
    return scanner::otherDevicesHint(namesOf(ports), another);
}

}  // namespace scanforms::win32
