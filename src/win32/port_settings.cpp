// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "win32/port_settings.h"

#include <windows.h>

#include "common/settings_ini.h"
#include "scanner/serial_timeouts.h"
#include "textfile/ini_lines.h"
#include "textfile/settings_file.h"
#include "win32/win32_text.h"

namespace scanforms::win32 {
namespace {

// A settings file is a few lines; anything longer is not one.
constexpr DWORD kLargestSettingsFile = 1 << 20;

std::string settingsFileBytes() {
    const HANDLE file = CreateFileW(toWide(settingsFilePath()).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string bytes(kLargestSettingsFile, '\0');
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), kLargestSettingsFile, &got, nullptr)) {
        got = 0;
    }
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

}  // namespace

std::string settingsFilePath() {
    return environmentVariable("APPDATA") + "\\scanforms\\scanforms.ini";
}

std::string portDevice(std::int16_t port) {
    if (std::string variable = environmentVariable(portVariable(port)); !variable.empty()) {
        return variable;
    }
    const auto mapped = textfile::iniValue(settingsFileBytes(), kPortsGroup, portLabel(port));
    if (mapped && !mapped->empty()) {
        return *mapped;
    }
    return defaultPortDevice(port);
}

std::string defaultPortDevice(std::int16_t port) {
    return "COM" + std::to_string(port);
}

std::optional<std::string> savePortMapping(std::int16_t port, const std::string& device) {
    const std::string key = portLabel(port);
    return textfile::editSettingsFile(settingsFilePath(), [&](std::string_view text) {
        return device.empty() ? textfile::removeIniKey(text, kPortsGroup, key)
                              : textfile::setIniValue(text, kPortsGroup, key, device);
    });
}

std::chrono::milliseconds setupAnswerTimeout(
    const std::function<void(const std::string&)>& warn) {
    const auto text = textfile::iniValue(settingsFileBytes(), "scanner", "SetupAnswerTimeout");
    if (!text) {
        return scanner::kSetupAnswerTimeout;
    }
    std::string problem;
    const auto wait = scanner::setupAnswerTimeoutOf(*text, problem);
    if (!problem.empty()) {
        warn(settingsFilePath() + ": " + problem);
    }
    return wait;
}

}  // namespace scanforms::win32
