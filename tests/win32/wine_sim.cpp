// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

#include "wine_sim.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "win32/win32_text.h"
#include "win32_wait.h"

namespace scanforms::testing {
namespace {

std::string required(const char* name) {
    std::string value = win32::environmentVariable(name);
    if (value.empty()) {
        throw std::runtime_error(std::string(name) +
                                 " is not set: run this test through tests/win32/wine-comm-run.sh "
                                 "(ctest --preset windows-cross does)");
    }
    return value;
}

// A Linux path as this Windows program opens it.
std::string windowsPath(const std::string& linuxPath) {
    return "Z:" + linuxPath;
}

void runLinux(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        throw std::runtime_error("cannot run " + commandLine + ": " +
                                 win32::systemMessage(GetLastError()));
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

std::string folder() {
    return required("SCANFORMS_TEST_SIM_DIR");
}

}  // namespace

std::string WineSim::port() {
    return required("SCANFORMS_TEST_PORT");
}

bool WineSim::deviceThere() {
    // Wine gives no attributes of a device file, but lists one that is there
    // (a link to a device that is gone it does not).
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(windowsPath(folder() + "/scanner").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}

std::vector<std::string> WineSim::logLines() {
    std::ifstream log(windowsPath(folder() + "/commands.log"), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
        lines.push_back(line);
    }
    return lines;
}

WineSim::WineSim(const std::string& script) {
    const std::string dir = folder();
    const std::string simulator = required("SCANFORMS_TEST_SIM");
    std::ofstream(windowsPath(dir + "/script.txt"), std::ios::binary) << script;
    DeleteFileA(windowsPath(dir + "/pid").c_str());
    DeleteFileA(windowsPath(dir + "/commands.log").c_str());
    runLinux("/bin/sh -c \"echo $$ >" + dir + "/pid; exec " + simulator + " --link " + dir +
             "/scanner --log " + dir + "/commands.log " + dir + "/script.txt 2>" + dir +
             "/stderr.txt >/dev/null\"");
    running_ = true;
    if (!pumpUntil(deviceThere, std::chrono::seconds(10))) {
        std::ifstream errors(windowsPath(dir + "/stderr.txt"));
        std::stringstream text;
        text << errors.rdbuf();
        stop();
        throw std::runtime_error("scanner-sim made no device: " + text.str());
    }
}

WineSim::~WineSim() {
    stop();
}

void WineSim::stop() {
    if (!running_) {
        return;
    }
    running_ = false;
    std::string pid;
    std::ifstream(windowsPath(folder() + "/pid")) >> pid;
    runLinux("/bin/kill -TERM " + pid);
    pumpUntil([] { return !deviceThere(); }, std::chrono::seconds(10));
}

}  // namespace scanforms::testing
