// SPDX-FileCopyrightText: 2026 The scanforms developers
// SPDX-License-Identifier: MIT

// The scanner component's cases of every platform (component_cases.h) on the
// Windows platform, against scanner-sim on the pseudo-terminal that
// wine-comm-run.sh maps to a COM port; Com7 leads there by its variable.
//
// A port that another program holds is not among them: Windows refuses a
// second open of a COM port with ERROR_ACCESS_DENIED, but Wine opens it
// again, so comm_port_test.cpp checks that case's words alone.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <memory>

#include "component_cases.h"
#include "win32/win32_platform.h"
#include "win32/win32_text.h"
#include "win32_wait.h"
#include "wine_sim.h"

namespace scanforms::testing {
namespace {

class ComponentCaseTest : public ::testing::TestWithParam<ComponentCase> {};

TEST_P(ComponentCaseTest, PlaysAsOnEveryPlatform) {
    const std::string appData = win32::environmentVariable("TEMP") + "\\scanforms-component-test";
    CreateDirectoryA(appData.c_str(), nullptr);
    CreateDirectoryA((appData + "\\scanforms").c_str(), nullptr);
    std::ofstream(appData + "\\scanforms\\scanforms.ini", std::ios::binary)
        << settingsFileText(GetParam());
    SetEnvironmentVariableA("APPDATA", appData.c_str());
    SetEnvironmentVariableA("SCANFORMS_COM7", WineSim::port().c_str());

    WineSim sim(GetParam().script);
    scanner::ScannerComponent component(
        std::make_unique<win32::Win32Platform>(appData + "\\scanforms.log"));
    RecordingEvents events(component);
    component.setPortNumber(kComponentPort);
    component.openPort();
    ASSERT_TRUE(component.portIsOpen()) << component.deviceName();
    runComponentCase(GetParam(), component, events,
                     {pumpUntil, &WineSim::logLines, [&sim] { sim.stop(); }});
}

INSTANTIATE_TEST_SUITE_P(Component, ComponentCaseTest, ::testing::ValuesIn(kComponentCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace scanforms::testing
